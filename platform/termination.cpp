#include "platform/termination.h"

#if defined(Q_OS_UNIX)
#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#endif

namespace trilane {

#if defined(Q_OS_UNIX)
namespace {

int signalPipe[2] = {-1, -1};

void WriteSignalByte(int) {
  // Nothing more may happen in a signal handler. The write end never blocks: a full pipe
  // already holds a request.
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
  errno = saved;
}

}  // namespace

void OnTerminationRequest(QObject* owner, std::function<void()> ended) {
  if (signalPipe[0] >= 0) return;  // one answer per program
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, signalPipe) != 0) {
    signalPipe[0] = signalPipe[1] = -1;
    return;
  }
  auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, owner);
  QObject::connect(notifier, &QSocketNotifier::activated, owner, [ended = std::move(ended)] {
    char byte = 0;
    if (::read(signalPipe[1], &byte, 1) == 1 && ended) ended();
  });
  struct sigaction action = {};
  action.sa_handler = WriteSignalByte;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

#else

void OnTerminationRequest(QObject*, std::function<void()>) {}

#endif

}  // namespace trilane
