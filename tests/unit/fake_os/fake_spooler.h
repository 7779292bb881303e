// The fake print spooler: ports, printers with their queued jobs, and printer
// drivers. Lists come back packed as the spooler packs them (records first,
// their strings behind). Printer handles are tracked; a driver that a printer
// still uses cannot be deleted; jobs can be deleted only through a handle
// opened with administer rights.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace fake {

struct Port {
  std::string name;
  std::string monitor = "Local Port";
  std::string description = "Local Port";
};

struct Job {
  std::uint32_t id = 0;
  std::string document;
};

struct Printer {
  std::string name;
  std::string driver;
  std::string port = "USB001";
  bool shared = false;    // PRINTER_ATTRIBUTE_SHARED; the printer UI's "/Z" sets it
  std::vector<Job> jobs;  // in queue order
};

struct Driver {
  std::string name;
  std::string environment = "Windows x64";
  std::uint32_t version = 3;
};

struct JobControl {
  std::uint32_t jobId;
  std::uint32_t command;  // JOB_CONTROL_*
};

struct Spooler {
  // Arrange; every list comes back in the order of these vectors.
  std::vector<Port> ports;
  std::vector<Printer> printers;
  std::vector<Driver> drivers;
  Printer& AddPrinter(const std::string& name, const std::string& driver, int queuedJobs = 0);
  Driver& AddDriver(const std::string& name);
  // Makes the printer UI's removal command ("... printui.dll,PrintUIEntry /dl
  // /n "NAME"") take the named printer out of the spooler and exit 0, as the
  // real command does. Responses scripted later for a more specific command
  // line (fake::processes().Respond) take precedence.
  void AnswerRemovalCommands();
  // Makes the printer UI's installation ("... /if ... /m "MODEL" /b "NAME"")
  // add printer NAME on driver MODEL and port PORT ("/r"), and its default-printer command ("... /n
  // "NAME" /y") make NAME the default, each exiting 0, as the real commands do.
  // Later responses take precedence, as above.
  void AnswerInstallCommands();
  // What those commands do to the spooler, for a response that also notes something.
  void CarryOut(const std::string& commandLine);

  // Inspect.
  Printer* FindPrinter(const std::string& name);
  bool HasDriver(const std::string& name) const;  // exact name
  int OpenHandles() const;                        // printer handles not yet closed
  int badCloses = 0;                              // ClosePrinter of an unknown or closed handle
  std::vector<std::uint32_t> openAccess;          // DesiredAccess of each OpenPrinterA, in order
  std::vector<JobControl> jobControls;            // every accepted SetJobA, in order
  std::vector<std::string> deletedDrivers;        // every accepted DeletePrinterDriverA, in order
  std::vector<std::string> removedPrinters;       // by the removal command, in order
  std::vector<std::string> deletedPrinters;       // by DeletePrinter, in order
  std::string defaultPrinter;                     // "" for none

  std::uint32_t nextJobId = 7;
};

Spooler& spooler();

}  // namespace fake
