// The few settings of the web request routine that tests need to change, kept in one place.
//
// Production code never changes them: the defaults are the system's trust store and 60-second
// time-outs. They are never read from the environment or from a file. Reading and replacing them
// is safe on any thread; a replacement applies to requests that start afterwards.
#ifndef VANTREL_NET_FETCH_SETTINGS_H_
#define VANTREL_NET_FETCH_SETTINGS_H_

#include <chrono>
#include <string>

namespace vantrel {

struct FetchSettings {
  // A PEM file of certificates to trust instead of the system's store; empty: the system's store.
  std::string trustedCaFile;
  // How long connecting (TCP and TLS handshake) may take.
  std::chrono::milliseconds connectTimeout{60000};
  // How long a transfer may go on without sending or receiving a single byte.
  std::chrono::milliseconds stallTimeout{60000};
};

// The settings in force.
FetchSettings CurrentFetchSettings();

// Test-only: replaces the settings; `FetchSettings{}` restores the defaults.
void SetFetchSettings(const FetchSettings& settings);

// Test-only: empties the process cookie store that requests without a caller cookie string use.
void ClearProcessCookieStore();

}  // namespace vantrel

#endif  // VANTREL_NET_FETCH_SETTINGS_H_
