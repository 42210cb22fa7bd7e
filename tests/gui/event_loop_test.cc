// The event loop on Qt's loop: posted callbacks, descriptor readiness,
// unwatching, waits with a time limit, terminate requests, and exceptions
// raised by callbacks.

#include <fcntl.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <stdexcept>
#include <thread>
#include <vector>

#include "gui/qt_event_loop.h"

namespace vellora {
namespace {

struct Pipe {
  int read_end = -1, write_end = -1;
  Pipe() {
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
      read_end = fds[0];
      write_end = fds[1];
    }
  }
  ~Pipe() {
    if (read_end >= 0) close(read_end);
    if (write_end >= 0) close(write_end);
  }
  void Put(char c) { QCOMPARE(write(write_end, &c, 1), ssize_t{1}); }
};

class EventLoopTest : public QObject {
  Q_OBJECT

 private slots:
  void postedCallbacksRunInOrderAndNeverInsidePost() {
    QtEventLoop loop;
    std::vector<int> order;
    bool inside_post = true;
    loop.post([&] {
      QVERIFY(!inside_post);
      order.push_back(1);
      loop.post([&] { order.push_back(3); });
    });
    loop.post([&] { order.push_back(2); });
    inside_post = false;
    for (int i = 0; i < 20 && order.size() < 3; ++i) loop.runOnce(50);
    QCOMPARE(order, (std::vector<int>{1, 2, 3}));
  }

  void postFromAnotherThreadWakesAWait() {
    QtEventLoop loop;
    bool ran = false;
    std::thread worker([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      loop.post([&] { ran = true; });
    });
    QElapsedTimer timer;
    timer.start();
    while (!ran && timer.elapsed() < 5000) loop.runOnce(-1);
    worker.join();
    QVERIFY(ran);
    QVERIFY(timer.elapsed() < 2000);
  }

  void watchReportsReadinessUntilUnwatched() {
    QtEventLoop loop;
    Pipe p;
    int calls = 0;
    unsigned seen = 0;
    loop.watch(p.read_end, EventLoop::kReadable, [&](unsigned ready) {
      ++calls;
      seen = ready;
      char c;
      QCOMPARE(read(p.read_end, &c, 1), ssize_t{1});
    });
    loop.runOnce(0);
    QCOMPARE(calls, 0);  // nothing to read yet
    p.Put('a');
    for (int i = 0; i < 20 && calls == 0; ++i) loop.runOnce(50);
    QCOMPARE(calls, 1);
    QCOMPARE(seen, unsigned{EventLoop::kReadable});
    loop.unwatch(p.read_end);
    QCOMPARE(loop.WatchCount(), size_t{0});
    p.Put('b');
    for (int i = 0; i < 5; ++i) loop.runOnce(10);
    QCOMPARE(calls, 1);
  }

  void unwatchInsideACallbackTakesEffectAtOnce() {
    QtEventLoop loop;
    Pipe p;
    int calls = 0;
    // Both directions are ready; the first callback unwatches, so there is
    // no second one for the same round.
    loop.watch(p.write_end, EventLoop::kWritable, [&](unsigned) {
      ++calls;
      loop.unwatch(p.write_end);
    });
    for (int i = 0; i < 10; ++i) loop.runOnce(10);
    QCOMPARE(calls, 1);
  }

  void hangUpReportsEveryAskedBit() {
    QtEventLoop loop;
    Pipe p;
    unsigned seen = 0;
    loop.watch(p.read_end, EventLoop::kReadable, [&](unsigned ready) {
      seen = ready;
      loop.unwatch(p.read_end);
    });
    close(p.write_end);
    p.write_end = -1;
    for (int i = 0; i < 20 && seen == 0; ++i) loop.runOnce(50);
    QCOMPARE(seen, unsigned{EventLoop::kReadable});
  }

  void rewatchReplacesEventsAndCallback() {
    QtEventLoop loop;
    Pipe p;
    int first = 0, second = 0;
    loop.watch(p.write_end, EventLoop::kWritable, [&](unsigned) { ++first; });
    loop.watch(p.write_end, EventLoop::kWritable, [&](unsigned) {
      ++second;
      loop.unwatch(p.write_end);
    });
    for (int i = 0; i < 10 && second == 0; ++i) loop.runOnce(20);
    QCOMPARE(first, 0);
    QCOMPARE(second, 1);
  }

  void runOnceWaitsNoLongerThanItsTimeout() {
    QtEventLoop loop;
    for (int i = 0; i < 5; ++i) loop.runOnce(0);  // what set-up left pending
    QElapsedTimer timer;
    timer.start();
    loop.runOnce(100);
    qint64 elapsed = timer.elapsed();
    QVERIFY2(elapsed >= 80 && elapsed < 1000, qPrintable(QString::number(elapsed)));
  }

  void timersFireOnceInOrderAndCancelledOnesNever() {
    QtEventLoop loop;
    std::vector<int> order;
    EventLoop::TimerId dropped = loop.startTimer(40, [&] { order.push_back(99); });
    loop.startTimer(60, [&] { order.push_back(2); });
    loop.startTimer(20, [&] {
      order.push_back(1);
      loop.cancelTimer(dropped);
    });
    QElapsedTimer timer;
    timer.start();
    while (order.size() < 2 && timer.elapsed() < 5000) loop.runOnce(-1);
    for (int i = 0; i < 5; ++i) loop.runOnce(30);
    QCOMPARE(order, (std::vector<int>{1, 2}));
  }

  void terminateRequestWakesAWaitAndCallsTheHandler() {
    QtEventLoop loop;
    int handled = 0;
    loop.SetTerminateHandler([&] { ++handled; });
    QTimer::singleShot(30, [&] { loop.RequestTerminate(); });
    QElapsedTimer timer;
    timer.start();
    while (!loop.TerminateRequested() && timer.elapsed() < 5000) loop.runOnce(-1);
    QVERIFY(loop.TerminateRequested());
    for (int i = 0; i < 5; ++i) loop.runOnce(0);
    QCOMPARE(handled, 1);
    loop.ClearTerminateRequest();
    QVERIFY(!loop.TerminateRequested());
    // A later request reaches the handler again.
    loop.RequestTerminate();
    for (int i = 0; i < 5; ++i) loop.runOnce(0);
    QCOMPARE(handled, 2);
    loop.ClearTerminateRequest();
  }

  void callbackExceptionsComeOutOfRunOnce() {
    QtEventLoop loop;
    loop.post([] { throw std::runtime_error("broken callback"); });
    bool caught = false;
    for (int i = 0; i < 10 && !caught; ++i) {
      try {
        loop.runOnce(20);
      } catch (const std::runtime_error& e) {
        caught = QString(e.what()) == "broken callback";
      }
    }
    QVERIFY(caught);
  }

  void callbackExceptionsOutsideRunOnceGoToTheHandler() {
    QtEventLoop loop;
    QString reported;
    loop.SetErrorHandler([&](const std::string& message) { reported = message.c_str(); });
    loop.post([] { throw std::runtime_error("late failure"); });
    QTest::qWait(50);  // Qt's own loop runs the callback, not runOnce
    QCOMPARE(reported, QString("late failure"));
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::EventLoopTest)
#include "event_loop_test.moc"
