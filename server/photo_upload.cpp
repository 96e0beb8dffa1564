#include "server/photo_upload.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace trilane::club {
namespace {

constexpr char kFtpScript[] = R"PY(
import logging, os, re, sys, tempfile
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS, FilesystemError
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.log import config_logging
from pyftpdlib.servers import FTPServer

config_logging(level=logging.WARNING)

host, port, folder, incoming, user = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5]
# The password comes on standard input: a command line is readable by every local user.
password = sys.stdin.readline().rstrip('\n')
limit = 512 * 1024
name_rule = re.compile(r'^[A-Za-z0-9!(),\-.@_]{2,12}\.jpg$')
folder = os.path.abspath(folder)
incoming = os.path.abspath(incoming)
for leftover in os.listdir(incoming):
    os.remove(os.path.join(incoming, leftover))

class PhotoFS(AbstractedFS):
    # An upload is written to a new file of the incoming folder, outside the photos folder;
    # the finished upload replaces the photo only once it has passed the checks.
    def open(self, filename, mode):
        if 'w' not in mode or '+' in mode:
            raise FilesystemError('only whole photos are uploaded')
        if not name_rule.match(os.path.basename(filename)) or os.path.dirname(os.path.abspath(filename)) != folder:
            raise FilesystemError('a photo is named <nick>.jpg')
        handle, temporary = tempfile.mkstemp(dir=incoming, suffix='.part')
        os.close(handle)
        self.cmd_channel.targets[temporary] = filename
        return open(temporary, 'wb')

class PhotoDTP(DTPHandler):
    # The data channel is closed as soon as more than a photo's worth arrives.
    def handle_read(self):
        DTPHandler.handle_read(self)
        if self.receive and not self._closed and self.tot_bytes_received > limit:
            self._resp = ('552 A photo is at most 512 KB.', logging.getLogger('pyftpdlib').info)
            self.transfer_finished = False
            self.close()

    handle_read_event = handle_read

    # A finished upload that is no JPEG picture is answered with an error, never "226", so
    # the program tells its player the photo was not taken.
    def close(self):
        if not self._closed and self.receive and self.transfer_finished and self.file_obj is not None:
            self.file_obj.flush()
            if not is_photo(self.file_obj.name):
                self._resp = ('553 A photo is a JPEG picture.', logging.getLogger('pyftpdlib').info)
        DTPHandler.close(self)

def is_photo(path):
    if os.path.getsize(path) > limit:
        return False
    with open(path, 'rb') as f:
        return f.read(3) == b'\xff\xd8\xff'

class PhotoHandler(FTPHandler):
    dtp_handler = PhotoDTP
    abstracted_fs = PhotoFS

    def __init__(self, *args, **kwargs):
        FTPHandler.__init__(self, *args, **kwargs)
        self.targets = {}

    def ftp_STOU(self, line):
        self.respond('550 A photo is named <nick>.jpg.')

    def on_file_received(self, path):
        target = self.targets.pop(path, None)
        try:
            if target is not None and is_photo(path):
                os.replace(path, target)
        finally:
            if os.path.exists(path):
                os.remove(path)

    def on_incomplete_file_received(self, path):
        self.targets.pop(path, None)
        if os.path.exists(path):
            os.remove(path)

authorizer = DummyAuthorizer()
authorizer.add_user(user, password, folder, perm='elw')
PhotoHandler.authorizer = authorizer
PhotoHandler.banner = 'photos'
server = FTPServer((host, port), PhotoHandler)
# Silent control and data connections are closed like the HTTP side's, so 64 idle callers
# cannot keep the uploads shut for minutes.
PhotoHandler.timeout = 10
PhotoDTP.timeout = 10
server.max_cons = 64
server.max_cons_per_ip = 4
server.serve_forever()
)PY";

}  // namespace

bool PhotoUploadServer::Start(const PhotoUpload& upload, std::string* reason) {
  const char* python = access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
  const std::string port = std::to_string(upload.port);
  const std::string incoming =
      (std::filesystem::path(upload.folder).parent_path() / "photo-uploads").string();
  std::error_code ec;
  std::filesystem::create_directories(incoming, ec);
  int secret[2];
  if (ec || pipe2(secret, O_CLOEXEC) != 0) {
    if (reason) *reason = "cannot prepare the FTP server's folders";
    return false;
  }
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) {
    close(secret[0]);
    close(secret[1]);
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
    // The password arrives on standard input (dup2 clears close-on-exec on the copy).
    dup2(secret[0], STDIN_FILENO);
    execlp(python, python, "-c", kFtpScript, upload.host.c_str(), port.c_str(),
           upload.folder.c_str(), incoming.c_str(), upload.user.c_str(),
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(secret[0]);
  const std::string line = upload.password + "\n";
  // A pipe takes a short line without blocking; a child that died early only fails the write.
  const bool sent = write(secret[1], line.data(), line.size()) == static_cast<ssize_t>(line.size());
  close(secret[1]);
  child_ = pid;
  if (!sent) {
    Stop();
    if (reason) *reason = "cannot hand the password to the FTP server";
    return false;
  }
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
