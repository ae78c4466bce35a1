#include "cli/cli_host.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <iostream>

#include "link/message_window.h"

namespace kvarta::cli {
namespace {

std::atomic<int> g_interrupts{0};
std::atomic<int> g_taken{0};

void OnInterrupt(int) {
  if (g_interrupts.fetch_add(1) >= 1) {
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
  }
}

}  // namespace

void CliHost::InstallInterruptHandler() {
  struct sigaction sa {};
  sa.sa_handler = OnInterrupt;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
}

bool CliHost::Interrupted() {
  return g_interrupts.load() > 0;
}

bool CliHost::TakeEscape() {
  const int pressed = g_interrupts.load();
  if (pressed > g_taken.load()) {
    g_taken.store(pressed);
    return true;
  }
  return false;
}

bool CliHost::ShowMessage(const MessageWindowModel& w) {
  std::string text;
  for (const std::string* line : {&w.caption, &w.line1, &w.line2}) {
    if (line->empty()) continue;
    text += *line;
    text += '\n';
  }
  std::fputs(text.c_str(), stderr);
  if (!w.yes_visible) return false;
  if (answer_questions_yes && w.kind == kMessageQuestion) {
    std::fputs("Да\n", stderr);
    return true;
  }
  if (!interactive_ || !isatty(STDIN_FILENO)) {
    if (!w.line3.empty()) std::fprintf(stderr, "%s Нет\n", w.line3.c_str());
    return false;
  }
  std::fprintf(stderr, "%s [Да/Нет] ", w.line3.empty() ? "" : w.line3.c_str());
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return answer == "Да" || answer == "да" || answer == "y" || answer == "Y" || answer == "yes";
}

void CliStatusBar::SetPanelText(int panel, const std::string& utf8) {
  if (verbose_ && !utf8.empty()) std::fprintf(stderr, "[%d] %s\n", panel, utf8.c_str());
}

}  // namespace kvarta::cli
