// Every file the tool writes survives the writer's death at any moment: the
// old complete contents or the new ones, never a short or empty file, and a
// temporary left by a dead save is gone after the next one.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <filesystem>
#include <functional>

#include "connection/phone_book.h"
#include "e2e/run_program.h"

namespace kvarta::test {
namespace {

namespace fs = std::filesystem;
constexpr int kCrashExit = 99;  // what the writer's crash seam exits with

// One kind of file: what makes the old contents, the save under test, and a
// further save; contents that hold the time are known by their size.
struct FileKind {
  const char* name;
  const char* file;  // in the program folder
  std::function<std::string(const std::string&home)> setup, save, next;
  bool timed = false;
};

std::string Sim(const std::string& home, const std::string& args) {
  return "--home " + home + " --simulator " + args;
}
std::string KeptSim(const std::string& home, const std::string& args) {
  return Sim(home, "--sim-state " + home + "/sim.state " + args);
}

const std::vector<FileKind>& Kinds() {
  static const std::vector<FileKind> kinds = {
      {"settings", "INI/kvarta04.ini",
       [](auto& h) { return Sim(h, "--code 1111 --password 111111 set 3 address=5"); },
       [](auto& h) { return Sim(h, "--address 5 --code 1111 --password 111111 set 3 address=6"); },
       [](auto& h) { return Sim(h, "--address 6 --code 1111 --password 111111 set 3 address=7"); }},
      {"history", "INI/comm_history.ini",
       [](auto& h) { return Sim(h, "--code 1111 --password 111111 command 0"); },
       [](auto& h) { return Sim(h, "--code 1111 --password 111111 command 0"); },
       [](auto& h) { return Sim(h, "--code 1111 --password 111111 command 0"); }, true},
      {"configuration", "a.cnf",
       [](auto& h) { return "--home " + h + " new-config " + h + "/a.cnf"; },
       [](auto& h) { return Sim(h, "save-config " + h + "/a.cnf --force"); },
       [](auto& h) { return "--home " + h + " new-config " + h + "/a.cnf --force"; }},
      {"session", "s.txt",
       [](auto& h) {
         return Sim(h, "--sim-session-length 10 session read --save " + h + "/s.txt");
       },
       [](auto& h) { return Sim(h, "session read --yes --save " + h + "/s.txt"); },
       [](auto& h) {
         return Sim(h, "--sim-session-length 10 session read --yes --save " + h + "/s.txt");
       }},
      {"simulator state", "sim.state",
       [](auto& h) { return KeptSim(h, "--code 1111 --password 111111 write 3 104 41 00"); },
       [](auto& h) { return KeptSim(h, "--code 1111 --password 111111 write 3 104 42 00"); },
       [](auto& h) { return KeptSim(h, "--code 1111 --password 111111 write 3 104 43 00"); }, true},
  };
  return kinds;
}

// Runs with the writer's crash seam at step n.
ProgramRun CtlCrashingAt(int n, const std::string& args) {
  setenv("KVARTA_TEST_CRASH_AT", std::to_string(n).c_str(), 1);
  ProgramRun run = Ctl(args);
  unsetenv("KVARTA_TEST_CRASH_AT");
  return run;
}

std::vector<std::string> Temporaries(const std::string& folder) {
  std::vector<std::string> found;
  for (const auto& e : fs::directory_iterator(folder)) {
    if (e.path().filename().string().find(".kvtmp-") != std::string::npos)
      found.push_back(e.path().string());
  }
  return found;
}

// A temporary as left by a save that died a while ago (the writer leaves
// fresh ones alone: they may belong to a save still running).
void Age(const std::string& path) {
  const timespec old[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
  utimensat(AT_FDCWD, path.c_str(), old, 0);
}

// Old, new or (for contents that hold the time) anything of the new size.
bool Whole(const FileKind& kind, const std::string& got, const std::string& old,
           const std::string& fresh) {
  if (got == old || got == fresh) return true;
  return kind.timed && !got.empty() && got.size() == fresh.size();
}

TEST(CrashSafeFiles, ASaveStoppedAtAnyStepLeavesOldOrNewAndTheNextSaveTidiesUp) {
  for (const FileKind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    TempDir ref;
    ASSERT_EQ(Ctl(kind.setup(ref.path())).exit_code, 0);
    const std::string old = Slurp(ref.File(kind.file));
    ASSERT_FALSE(old.empty());
    ASSERT_EQ(Ctl(kind.save(ref.path())).exit_code, 0);
    const std::string fresh = Slurp(ref.File(kind.file));
    ASSERT_NE(fresh, old);

    int n = 1;
    for (;; ++n) {
      SCOPED_TRACE(n);
      TempDir home;
      ASSERT_EQ(Ctl(kind.setup(home.path())).exit_code, 0);
      const ProgramRun run = CtlCrashingAt(n, kind.save(home.path()));
      EXPECT_TRUE(Whole(kind, Slurp(home.File(kind.file)), old, fresh));
      const std::string folder = fs::path(home.File(kind.file)).parent_path().string();
      for (const std::string& t : Temporaries(folder)) Age(t);
      ASSERT_EQ(Ctl(kind.next(home.path())).exit_code, 0);
      EXPECT_TRUE(Temporaries(folder).empty());
      if (run.exit_code != kCrashExit) break;
      ASSERT_LT(n, 100);
    }
    EXPECT_GT(n, 5);  // every step of at least one save was reached
  }
}

PhoneBook Book(const std::string& name) {
  PhoneBook book;
  book.users_num = 1;
  book.slots[0].name = name;
  book.slots[0].phone_code = "89001234567";
  return book;
}

// A child that saves the phone book, crashing at step n (0: never).
int SaveBookInChild(const std::string& path, const PhoneBook& book, int n) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (n > 0) setenv("KVARTA_TEST_CRASH_AT", std::to_string(n).c_str(), 1);
    _exit(SavePhoneBook(path, book) ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CrashSafeFiles, APhoneBookSaveStoppedAtAnyStepLeavesOldOrNew) {
  TempDir home;
  const std::string path = home.File("abonents.ini");
  ASSERT_EQ(SaveBookInChild(path, Book("Старый"), 0), 0);
  const std::string old = Slurp(path);
  ASSERT_EQ(SaveBookInChild(path, Book("Новый"), 0), 0);
  const std::string fresh = Slurp(path);
  for (int n = 1; n <= 5; ++n) {
    ASSERT_EQ(SaveBookInChild(path, Book("Старый"), 0), 0);
    EXPECT_EQ(SaveBookInChild(path, Book("Новый"), n), kCrashExit);
    const std::string got = Slurp(path);
    EXPECT_TRUE(got == old || got == fresh) << n;
  }
  EXPECT_EQ(SaveBookInChild(path, Book("Новый"), 6), 0);  // only five steps
}

// Kills a started child after `us` microseconds and waits for it.
void KillAfter(pid_t pid, int us) {
  const timespec pause{0, us * 1000L};
  nanosleep(&pause, nullptr);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

TEST(CrashSafeFiles, KillNineDuringSavesNeverLeavesAShortFile) {
  // Kill moments spread over a save's whole run; the count and each wait
  // are bounded, so the loop ends whatever the machine's load.
  constexpr int kKills = 240;
  const std::vector<const FileKind*> kinds = {&Kinds()[0], &Kinds()[1], &Kinds()[2]};
  struct Known {
    TempDir home;
    std::string old, fresh;
  };
  std::vector<Known> known(kinds.size());
  for (size_t k = 0; k < kinds.size(); ++k) {
    Known& w = known[k];
    ASSERT_EQ(Ctl(kinds[k]->setup(w.home.path())).exit_code, 0);
    w.old = Slurp(w.home.File(kinds[k]->file));
    ASSERT_EQ(Ctl(kinds[k]->save(w.home.path())).exit_code, 0);
    w.fresh = Slurp(w.home.File(kinds[k]->file));
  }
  TempDir book_home;
  const std::string book = book_home.File("abonents.ini");
  ASSERT_EQ(SaveBookInChild(book, Book("Старый"), 0), 0);
  const std::string book_old = Slurp(book);
  ASSERT_EQ(SaveBookInChild(book, Book("Новый"), 0), 0);
  const std::string book_new = Slurp(book);

  int short_files = 0;
  for (int i = 0; i < kKills; ++i) {
    const size_t k = i % (kinds.size() + 1);
    const int us = (i * 7919) % 30000;
    if (k == kinds.size()) {
      // The phone book, saved over and over until the kill.
      const pid_t pid = fork();
      if (pid == 0) {
        for (int round = 0;; ++round) SavePhoneBook(book, Book(round % 2 ? "Новый" : "Старый"));
      }
      KillAfter(pid, us % 3000);
      const std::string got = Slurp(book);
      short_files += got != book_old && got != book_new;
      continue;
    }
    const FileKind& kind = *kinds[k];
    const std::string home = known[k].home.path();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const pid_t pid = Spawn(KVARTACTL_PATH, kind.save(home), &actions);
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_GT(pid, 0);
    KillAfter(pid, us);
    const std::string got = Slurp(known[k].home.File(kind.file));
    if (!Whole(kind, got, known[k].old, known[k].fresh)) {
      ++short_files;
      ADD_FAILURE() << kind.name << " after " << us << " us: " << got.size() << " bytes";
    }
  }
  EXPECT_EQ(short_files, 0);
}

}  // namespace
}  // namespace kvarta::test
