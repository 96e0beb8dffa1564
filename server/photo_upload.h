#pragma once
// The photo upload: a real FTP server (Debian's pyftpdlib) started as a child process, with
// one user whose home is the photos folder. It takes only uploads named <nick>.jpg, receives
// each into a temporary file of a folder beside the photos folder, closes the data channel
// past 512 KB, and moves a finished upload over the photo only when it begins like a JPEG
// picture; a failed upload leaves the photo as it was. The password reaches the server on a
// pipe, never on a command line.

#include <sys/types.h>

#include <string>

namespace trilane::club {

struct PhotoUpload {
  std::string host;
  int port = 0;
  std::string user = "trilane";
  std::string password = "photos";
  std::string folder;  // the photos folder; uploads in progress go to "photo-uploads" beside it
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
