#pragma once
// A log writer that keeps every message in memory, for tests that check
// what was logged.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LogWriter.h"

namespace testsupport {

struct LogLine {
  int level;
  std::string function;  // empty for a note of the test's own
  std::string message;
};

class CapturingLogWriter : public CLogWriterInterface {
 public:
  explicit CapturingLogWriter(int level) : level_(level) {}

  int getLevel() const override { return level_; }
  const std::vector<LogLine>& lines() const { return lines_; }
  void clear() { lines_.clear(); }
  // Adds a line of the test's own between the messages.
  void Note(std::string text) { lines_.push_back({0, "", std::move(text)}); }

  // Runs `action` once, right after the first message that is exactly
  // `message`: a way to act at a known point inside the code under test,
  // such as between its read and its write of a list.
  void OnMessage(std::string message, std::function<void()> action) {
    trigger_ = std::move(message);
    action_ = std::move(action);
  }

  // How many messages contain `text`.
  int CountContaining(const std::string& text) const {
    int count = 0;
    for (const LogLine& line : lines_)
      count += line.message.find(text) != std::string::npos ? 1 : 0;
    return count;
  }

 protected:
  void writeV(int level, const char* function, int, const char* format, va_list args) override {
    char buffer[8192];
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    lines_.push_back({level, function != nullptr ? function : "", buffer});
    if (action_ && trigger_ == buffer) {
      std::function<void()> action = std::move(action_);
      action_ = nullptr;
      action();
    }
  }

 private:
  int level_;
  std::vector<LogLine> lines_;
  std::string trigger_;
  std::function<void()> action_;
};

// Installs a capturing writer as the process-wide writer for one scope and
// puts back the one before.
class ScopedCapture {
 public:
  explicit ScopedCapture(int level = 4)
      : writer_(std::make_shared<CapturingLogWriter>(level)), previous_(g_ptrLogWriter) {
    g_ptrLogWriter = writer_;
  }
  ScopedCapture(const ScopedCapture&) = delete;
  ScopedCapture& operator=(const ScopedCapture&) = delete;
  ~ScopedCapture() { g_ptrLogWriter = previous_; }

  CapturingLogWriter& operator*() const { return *writer_; }
  CapturingLogWriter* operator->() const { return writer_.get(); }

 private:
  std::shared_ptr<CapturingLogWriter> writer_;
  std::shared_ptr<CLogWriterInterface> previous_;
};

// Clears a writer's lines when the scope ends. A fuzz target keeps one
// writer for all its inputs and clears it in every run, so that each run
// frees what it allocated: libFuzzer runs an input again, with a leak check,
// whenever a run allocated more than it freed.
class ClearedAtEnd {
 public:
  explicit ClearedAtEnd(CapturingLogWriter& writer) : writer_(writer) {}
  ClearedAtEnd(const ClearedAtEnd&) = delete;
  ClearedAtEnd& operator=(const ClearedAtEnd&) = delete;
  ~ClearedAtEnd() { writer_.clear(); }

 private:
  CapturingLogWriter& writer_;
};

}  // namespace testsupport
