// virtual_printer: takes raw print jobs like a receipt printer (from a
// loopback TCP port or a file/FIFO), and renders the paper to PNG.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

#include "decoder.h"
#include "glyphs.h"
#include "device.h"
#include "loopback.h"
#include "options.h"
#include "paper.h"
#include "png_output.h"
#include "status.h"

namespace {

constexpr std::size_t kMaxReportedProblems = 50;

bool WriteRaw(const std::string& path, const std::vector<std::uint8_t>& job) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(job.data()), static_cast<std::streamsize>(job.size()));
  return static_cast<bool>(out);
}

// Renders one job; returns the number of problems found, or -1 when the PNG
// could not be written.
int RenderJob(const vp::Options& o, vp::GlyphSource& glyphs, const std::vector<std::uint8_t>& job, int index) {
  vp::Paper paper(o.width, glyphs);
  vp::Decode(job.data(), job.size(), paper);
  paper.Finish();
  const auto& problems = paper.Problems();
  for (std::size_t i = 0; i < problems.size() && i < kMaxReportedProblems; ++i) {
    std::cerr << "job " << index << ": " << problems[i] << "\n";
  }
  if (problems.size() > kMaxReportedProblems) {
    std::cerr << "job " << index << ": " << problems.size() - kMaxReportedProblems << " more problems\n";
  }
  const std::string png = vp::JobPath(o.out, index, o.jobs);
  std::string error;
  if (!vp::WritePaperPng(paper, png, &error)) {
    std::cerr << error << "\n";
    return -1;
  }
  std::cout << "job " << index << ": " << job.size() << " bytes, " << problems.size() << " problems, "
            << paper.Cuts().size() << " cuts (" << paper.PartialCuts() << " partial), " << paper.Kicks().size()
            << " drawer kicks, " << png << " (" << paper.Width() << "x" << paper.Height() << ")"
            << std::endl;
  return static_cast<int>(problems.size());
}

}  // namespace

int main(int argc, char** argv) {
  vp::Options o;
  bool help = false;
  std::string error;
  if (!vp::ParseOptions(argc, argv, &o, &help, &error)) {
    std::cerr << error << "\n" << vp::Usage();
    return 2;
  }
  if (help) {
    std::cout << vp::Usage();
    return 0;
  }

  vp::FontGlyphs font;
  vp::BoxGlyphs boxes;
  vp::GlyphSource* glyphs = &font;
  if (!font.Open(o.font, &error)) {
    std::cerr << error << ": text is drawn as boxes\n";
    glyphs = &boxes;
  }

  vp::LoopbackListener listener;
  vp::PtyDevice device;
  if (!o.device.empty()) {
    if (!device.Open(o.device, &error)) {
      std::cerr << error << "\n";
      return 1;
    }
    std::cout << "device at " << o.device << std::endl;
  } else if (o.input.empty()) {
    if (!listener.Listen(static_cast<std::uint16_t>(o.port), &error)) {
      std::cerr << error << "\n";
      return 1;
    }
    std::cout << "listening on " << listener.Address() << ":" << listener.Port() << std::endl;
  }

  vp::PrinterState state = vp::PrinterState::Online;
  vp::ParsePrinterState(o.status, &state);
  vp::StatusResponder responder(state);
  bool anyProblem = false;
  int index = 0;
  int statusSessions = 0;
  // A connection (or device opening) of status requests alone is answered but
  // is no job: it is neither rendered nor counted.
  while (index < o.jobs || statusSessions < o.statusSessions) {
    std::vector<std::uint8_t> job;
    bool truncated = false;
    responder.Reset();
    const bool got = !o.device.empty() ? device.ReadSession(&job, o.maxBytes, &truncated, &error, &responder)
                     : o.input.empty() ? listener.AcceptJob(&job, o.maxBytes, &truncated, &error, &responder)
                                       : vp::ReadJobFile(o.input, &job, o.maxBytes, &truncated, &error);
    if (!got) {
      std::cerr << error << "\n";
      return 1;
    }
    if (responder.Requests() > 0) {
      std::cout << "answered " << responder.Requests() << " status requests (" << o.status << ")" << std::endl;
    }
    if (responder.OnlyRequests()) {
      ++statusSessions;
      continue;
    }
    if (index == o.jobs) continue;  // waiting for status requests; no page is due
    ++index;
    if (truncated) {
      std::cerr << "job " << index << ": longer than " << o.maxBytes << " bytes, the rest was dropped\n";
      anyProblem = true;
    }
    if (!o.raw.empty() && !WriteRaw(vp::JobPath(o.raw, index, o.jobs), job)) {
      std::cerr << "cannot write " << vp::JobPath(o.raw, index, o.jobs) << "\n";
      return 1;
    }
    const int problems = RenderJob(o, *glyphs, job, index);
    if (problems < 0) return 1;
    anyProblem = anyProblem || problems > 0;
  }
  return (o.strict && anyProblem) ? 3 : 0;
}
