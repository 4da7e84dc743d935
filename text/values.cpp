#include "text/values.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "text/codepage.h"

namespace vantrel {
namespace {

void WriteReportToStandardError(const Text& report) {
  std::string utf8 = GbkToUtf8(report);
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fflush(stderr);
}

std::atomic<FatalReporter> g_reporter{&WriteReportToStandardError};

}  // namespace

void* CheckedAllocate(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  void* p = std::malloc(bytes);
  if (p == nullptr) FatalAllocationFailure(bytes);
  return p;
}

void CheckedFree(void* p) noexcept { std::free(p); }

void FatalAllocationFailure(std::uint64_t bytes) {
  // The message is built in a fixed buffer: memory is exactly what is missing here.
  static const Text& prefix = *new Text(GbkFromUtf8("分配 "));
  static const Text& suffix = *new Text(GbkFromUtf8(" 字节内存失败!"));
  char number[32];
  std::snprintf(number, sizeof number, "%llu", static_cast<unsigned long long>(bytes));
  Text message;
  message.reserve(64);
  message.append(prefix).append(number).append(suffix);
  FatalError(0, message);
}

TextArray::TextArray(std::initializer_list<Text> items) : items_(items.begin(), items.end()) {}

const Text& TextArray::operator[](int index) const {
  static const Text& below = *new Text(GbkFromUtf8("数组成员引用下标必须大于等于1"));
  static const Text& above = *new Text(GbkFromUtf8("数组成员引用下标超出定义范围"));
  if (index < 1) FatalError(4, below);
  if (index > Count()) FatalError(1, above);
  return items_[static_cast<std::size_t>(index - 1)];
}

int CompareText(const Text& left, const Text& right) {
  std::size_t n = std::min(left.size(), right.size());
  int c = std::memcmp(left.data(), right.data(), n);
  if (c != 0) return c < 0 ? -1 : 1;
  if (left.size() == right.size()) return 0;
  return left.size() < right.size() ? -1 : 1;
}

Text ConcatText(std::initializer_list<std::string_view> parts) {
  std::uint64_t total = 0;
  for (std::string_view p : parts) total += p.size();
  if (total > static_cast<std::uint64_t>(kMaxValueSize)) FatalAllocationFailure(total + 1);
  Text result;
  result.reserve(static_cast<std::size_t>(total));
  for (std::string_view p : parts) result.append(p.data(), p.size());
  return result;
}

Bytes ConcatBytes(std::initializer_list<const Bytes*> parts) {
  std::uint64_t total = 0;
  for (const Bytes* p : parts) total += p->size();
  if (total > static_cast<std::uint64_t>(kMaxValueSize)) FatalAllocationFailure(total);
  Bytes result;
  result.reserve(static_cast<std::size_t>(total));
  for (const Bytes* p : parts) result.insert(result.end(), p->begin(), p->end());
  return result;
}

bool BytesEqual(const Bytes& left, const Bytes& right) { return left == right; }

int ArrayCount(const TextArray& items) { return items.Count(); }

void AppendItem(TextArray& items, const Text& value) { items.Append(value); }

Text FatalErrorReport(int code, const Text& message) {
  Text report = GbkFromUtf8("运行时出错!\r\n\r\n");
  if (code != 0) {
    report += GbkFromUtf8("错误代码：");
    report += std::to_string(code).c_str();
    report += "\r\n\r\n";
  }
  if (!message.empty()) {
    report += GbkFromUtf8("错误信息：");
    report += message;
    report += "\r\n";
  }
  return report;
}

FatalReporter SetFatalReporter(FatalReporter reporter) {
  if (reporter == nullptr) reporter = &WriteReportToStandardError;
  return g_reporter.exchange(reporter);
}

void FatalError(int code, const Text& message) {
  g_reporter.load()(FatalErrorReport(code, message));
  std::fflush(nullptr);
  std::_Exit(-1);
}

}  // namespace vantrel
