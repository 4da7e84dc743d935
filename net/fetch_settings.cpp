#include "net/fetch_settings.h"

#include <mutex>

namespace vantrel {
namespace {

std::mutex settingsLock;

FetchSettings& Settings() {
  static FetchSettings* settings = new FetchSettings;
  return *settings;
}

}  // namespace

FetchSettings CurrentFetchSettings() {
  std::lock_guard<std::mutex> guard(settingsLock);
  return Settings();
}

void SetFetchSettings(const FetchSettings& settings) {
  std::lock_guard<std::mutex> guard(settingsLock);
  Settings() = settings;
}

}  // namespace vantrel
