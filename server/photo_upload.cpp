#include "server/photo_upload.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace trilane::club {
namespace {

constexpr char kFtpScript[] = R"PY(
import logging, os, re, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.log import config_logging
from pyftpdlib.servers import FTPServer

config_logging(level=logging.WARNING)

host, port, folder, user, password = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5]
name_rule = re.compile(r'^[A-Za-z0-9!(),\-.@_]{2,12}\.jpg$')

class PhotoHandler(FTPHandler):
    def on_file_received(self, path):
        keep = False
        try:
            if name_rule.match(os.path.basename(path)) and os.path.dirname(os.path.abspath(path)) == os.path.abspath(folder):
                if os.path.getsize(path) <= 512 * 1024:
                    with open(path, 'rb') as f:
                        keep = f.read(3) == b'\xff\xd8\xff'
        finally:
            if not keep:
                os.remove(path)

    def on_incomplete_file_received(self, path):
        os.remove(path)

authorizer = DummyAuthorizer()
authorizer.add_user(user, password, folder, perm='elw')
PhotoHandler.authorizer = authorizer
PhotoHandler.banner = 'photos'
server = FTPServer((host, port), PhotoHandler)
server.max_cons = 64
server.max_cons_per_ip = 4
server.serve_forever()
)PY";

}  // namespace

bool PhotoUploadServer::Start(const PhotoUpload& upload, std::string* reason) {
  const char* python = access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
  const std::string port = std::to_string(upload.port);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) {
    if (reason) *reason = "cannot start the FTP server";
    return false;
  }
  if (pid == 0) {
    // The FTP server goes when the service goes, even if the service dies.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(1);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    // The service's standard output belongs to its one "listening on" line.
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0) dup2(devNull, STDOUT_FILENO);
    execlp(python, python, "-c", kFtpScript, upload.host.c_str(), port.c_str(),
           upload.folder.c_str(), upload.user.c_str(), upload.password.c_str(),
           static_cast<char*>(nullptr));
    _exit(127);
  }
  child_ = pid;
  // A child that dies at once (no pyftpdlib, port in use) is reported.
  for (int i = 0; i < 10; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    int status = 0;
    if (waitpid(child_, &status, WNOHANG) == child_) {
      child_ = -1;
      if (reason) *reason = "the FTP server stopped at once (is python3-pyftpdlib installed?)";
      return false;
    }
  }
  return true;
}

void PhotoUploadServer::Stop() {
  if (child_ <= 0) return;
  kill(child_, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(child_, nullptr, WNOHANG) == child_) {
      child_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(child_, SIGKILL);
  waitpid(child_, nullptr, 0);
  child_ = -1;
}

}  // namespace trilane::club
