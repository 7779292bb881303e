// The fake network: names that resolve (in order), printers listening on
// address:port that keep every byte they receive, and the socket library's
// start/clean-up balance. A connection to anything else fails with
// connectError: in non-blocking mode as the platform reports a refusal (connect
// says WSAEWOULDBLOCK, select puts the socket in its except set, SO_ERROR
// holds the error), or at once (failsAtOnce, as a network without a route).
// A silent peer never answers: select waits out its time-out, and a blocking
// connect would never return (the fake marks the run hung and fails it).
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fake {

struct Listener {
  std::string received;
  int connections = 0;
  int maxPerSend = 0;  // > 0: each send takes at most this many bytes; < 0: none (send returns 0)
  bool stalls = false; // takes nothing: a send fails after the socket's send time-out, or blocks without one
  // Answers to the real-time status request DLE EOT n (0x10 0x04 n), by n; a
  // request without one goes unanswered (recv waits for its time-out).
  std::map<int, unsigned char> statusAnswers;
};

struct HostEntry {
  std::vector<std::string> addresses;  // dotted IPv4, in answer order
  short addressType = 2;               // AF_INET; 23 models an IPv6-only answer
};

struct Network {
  std::map<std::string, HostEntry> names;
  std::map<std::string, Listener> listeners;  // by "a.b.c.d:port"
  int connectError = 10061;                   // WSAECONNREFUSED when nobody listens
  bool failsAtOnce = false;                   // connect reports connectError itself, also non-blocking
  std::set<std::string> silent;               // "a.b.c.d:port" that never answer a connection
  std::vector<long> selectTimeoutsMs;         // the time-out of each select, -1 for none
  int nonBlockingSends = 0;                   // sends made on a socket still in non-blocking mode
  int startups = 0;                           // WSAStartup calls not yet cleaned up
  int openSockets = 0;
  std::vector<int> sendSizes;                 // the length asked for by each send; past 100000, send throws
  std::vector<unsigned> sendTimeouts;         // SO_SNDTIMEO of each socket connected, 0 for none
  std::vector<unsigned> receiveTimeouts;      // SO_RCVTIMEO of each recv, 0 for none
  bool hung = false;                          // a send or connect blocked with no time-out (the real one never returns)

  Listener& Listen(const std::string& address, int port);
};

Network& network();

}  // namespace fake
