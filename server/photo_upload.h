#pragma once
// The photo upload: a real FTP server (Debian's pyftpdlib) started as a child process, with
// one user whose home is the photos folder. It keeps only files named <nick>.jpg that begin
// like a JPEG picture and are at most 512 KB; anything else is deleted on arrival.

#include <sys/types.h>

#include <string>

namespace trilane::club {

struct PhotoUpload {
  std::string host;
  int port = 0;
  std::string user = "trilane";
  std::string password = "photos";
  std::string folder;  // the photos folder
};

class PhotoUploadServer {
 public:
  // Starts the FTP server; false (with a reason) when it cannot be started.
  bool Start(const PhotoUpload& upload, std::string* reason);
  void Stop();
  ~PhotoUploadServer() { Stop(); }

 private:
  pid_t child_ = -1;
};

}  // namespace trilane::club
