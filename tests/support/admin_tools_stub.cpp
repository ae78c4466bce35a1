// A stand-in for the service library: reports what it was given and ends the
// phone call (byte 0 of the parameter record) the way the real one may.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

extern "C" int _Show_Main_Form(const char* folder, int port) {
  const std::string params = std::string(folder) + "INI/dll_work_par.ini";
  struct stat st {};
  const int mode = stat(params.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 0777) : -1;
  unsigned char record[132] = {};
  const int fd = open(params.c_str(), O_RDWR);
  const ssize_t got = fd >= 0 ? read(fd, record, sizeof record) : -1;
  if (fd >= 0) {
    record[0] = 0;
    pwrite(fd, record, sizeof record, 0);
    close(fd);
  }
  if (FILE* report = std::fopen((std::string(folder) + "stub_report").c_str(), "w")) {
    std::fprintf(report, "port=%d mode=%o read=%zd address=%u\n", port, mode, got, record[51]);
    std::fclose(report);
  }
  return 0;
}
