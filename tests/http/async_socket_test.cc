#include "http/async_socket.h"

#include <gtest/gtest.h>

#include <chrono>

#include "base/poll_event_loop.h"
#include "http/script_server.h"
#include "http/send_queue.h"
#include "http/socket_errors.h"

namespace vellora {
namespace {

using testing::ScriptServer;
using testing::ServerStep;

// Runs the loop until `done` or about five seconds have passed.
template <typename Done>
bool RunUntil(EventLoop& loop, Done done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    loop.runOnce(50);
  }
  return true;
}

struct Recorder {
  std::vector<std::string> events;
  std::string received;
  int errors = 0;

  void Attach(TAsyncSocket& socket) {
    socket.OnDnsLookupDone = [this](TAsyncSocket&, uint16_t e) { Add("lookup", e); };
    socket.OnSessionConnected = [this](TAsyncSocket&, uint16_t e) { Add("connected", e); };
    socket.OnSessionClosed = [this](TAsyncSocket&, uint16_t e) { Add("closed", e); };
    socket.OnDataSent = [this](TAsyncSocket&, uint16_t e) { Add("sent", e); };
    socket.OnError = [this](TAsyncSocket&) { ++errors; };
    socket.OnDataAvailable = [this](TAsyncSocket& s, uint16_t) {
      char buffer[7];  // small on purpose: several rounds per arrival
      int count = s.Receive(buffer, sizeof buffer);
      if (count > 0) received.append(buffer, static_cast<size_t>(count));
    };
  }
  void Add(const std::string& name, uint16_t error) {
    events.push_back(name + " " + std::to_string(error));
  }
  bool Has(const std::string& event) const {
    return std::find(events.begin(), events.end(), event) != events.end();
  }
};

TEST(SendQueue, KeepsBlocksOfOneSegment) {
  SendQueue queue;
  std::string bytes(3000, 'q');
  queue.Append(bytes.data(), bytes.size());
  EXPECT_EQ(queue.BlockCount(), 3u);
  EXPECT_EQ(queue.Size(), 3000u);
  EXPECT_EQ(queue.Front().size(), 1460u);
  queue.Consume(1460);
  queue.Consume(1000);
  EXPECT_EQ(queue.Front().size(), 460u);
  queue.Consume(460);
  EXPECT_EQ(queue.Front().size(), 80u);
  queue.Consume(80);
  EXPECT_TRUE(queue.Empty());
  EXPECT_EQ(queue.BlockCount(), 1u);  // the last block is kept, empty
}

TEST(SocketErrors, MapsErrnoToTheSocketNumbers) {
  EXPECT_EQ(ErrnoToSocketError(ECONNREFUSED), 10061);
  EXPECT_EQ(ErrnoToSocketError(ETIMEDOUT), 10060);
  EXPECT_EQ(ErrnoToSocketError(ENETUNREACH), 10051);
  EXPECT_EQ(ErrnoToSocketError(EHOSTUNREACH), 10065);
  EXPECT_EQ(ErrnoToSocketError(ECONNRESET), 10054);
  EXPECT_EQ(ErrnoToSocketError(EADDRINUSE), 10048);
  EXPECT_EQ(SocketErrorText(10061), "Connection refused");
  EXPECT_EQ(SocketErrorText(11001), "Host not found");
  EXPECT_EQ(SocketErrorText(ErrnoToSocketError(ENOEXEC)), "Not a WinSock error");
}

TEST(AsyncSocket, AnswersDottedAndEmptyNamesInsideTheCall) {
  PollEventLoop loop;
  TAsyncSocket socket(loop);
  Recorder rec;
  rec.Attach(socket);
  socket.DnsLookup("127.0.0.1");
  EXPECT_EQ(rec.events, std::vector<std::string>{"lookup 0"});
  EXPECT_EQ(socket.DnsResult(), "127.0.0.1");
  socket.DnsLookup("");
  EXPECT_EQ(rec.errors, 1);
  EXPECT_EQ(socket.LastErrorMessage(), "DNS lookup: invalid host name.");
  EXPECT_EQ(rec.events, (std::vector<std::string>{"lookup 0", "lookup 10022"}));

  socket.OnError = nullptr;
  EXPECT_THROW(socket.DnsLookup(""), ESocketError);
}

TEST(AsyncSocket, LooksUpNamesLaterAndCancellingDropsTheResult) {
  PollEventLoop loop;
  TAsyncSocket socket(loop);
  Recorder rec;
  rec.Attach(socket);
  socket.DnsLookup("localhost");
  EXPECT_TRUE(rec.events.empty());
  ASSERT_TRUE(RunUntil(loop, [&] { return !rec.events.empty(); }));
  EXPECT_EQ(rec.events, std::vector<std::string>{"lookup 0"});
  EXPECT_EQ(socket.DnsResult(), "127.0.0.1");

  socket.DnsLookup("localhost");
  socket.CancelDnsLookup();
  for (int i = 0; i < 10; ++i) loop.runOnce(20);
  EXPECT_EQ(rec.events.size(), 1u);

  socket.FailNextLookupStartForTesting(EAGAIN);
  socket.DnsLookup("localhost");
  EXPECT_EQ(rec.errors, 1);
  EXPECT_EQ(socket.LastErrorMessage(),
            "localhost: can't start DNS lookup - Operation would block (#10035)");
  EXPECT_FALSE(socket.DnsLookupRunning());
}

TEST(AsyncSocket, RefusedConnectionConnectsWithTheErrorThenCloses) {
  PollEventLoop loop;
  TAsyncSocket socket(loop);
  Recorder rec;
  rec.Attach(socket);
  socket.SetAddr("127.0.0.1");
  socket.SetPort(std::to_string(testing::UnusedPort()));
  socket.Connect();
  EXPECT_TRUE(rec.events.empty());
  ASSERT_TRUE(RunUntil(loop, [&] { return rec.events.size() >= 2; }));
  for (int i = 0; i < 3; ++i) loop.runOnce(10);
  EXPECT_EQ(rec.events, (std::vector<std::string>{"connected 10061", "closed 0"}));
  EXPECT_EQ(socket.State(), ssClosed);
}

// The fuzz targets keep the HTTP client to their own listener this way.
TEST(AsyncSocket, AFilteredConnectionFailsAsRefusedWithoutReachingThePeer) {
  ScriptServer server({ServerStep{"hello", false}});
  ASSERT_TRUE(server.ok());
  PollEventLoop loop;
  TAsyncSocket socket(loop);
  Recorder rec;
  rec.Attach(socket);
  std::vector<std::string> asked;
  socket.FilterConnectionsForTesting([&](const std::string& address, uint16_t port) {
    asked.push_back(address + ":" + std::to_string(port));
    return false;
  });
  socket.SetAddr("127.0.0.1");
  socket.SetPort(std::to_string(server.port()));
  socket.Connect();
  EXPECT_TRUE(rec.events.empty());
  ASSERT_TRUE(RunUntil(loop, [&] { return rec.events.size() >= 2; }));
  EXPECT_EQ(rec.events, (std::vector<std::string>{"connected 10061", "closed 0"}));
  EXPECT_EQ(asked, std::vector<std::string>{"127.0.0.1:" + std::to_string(server.port())});
  EXPECT_EQ(server.connections(), 0);

  socket.FilterConnectionsForTesting([](const std::string&, uint16_t) { return true; });
  rec.events.clear();
  socket.SetAddr("127.0.0.1");
  socket.SetPort(std::to_string(server.port()));
  socket.Connect();
  ASSERT_TRUE(RunUntil(loop, [&] { return rec.received == "hello"; }));
  EXPECT_EQ(rec.events.front(), "connected 0");
}

TEST(AsyncSocket, DeliversEveryByteBeforeThePeerClose) {
  std::string payload;
  for (int i = 0; i < 20000; ++i) payload += static_cast<char>('a' + i % 26);
  ScriptServer server({{payload, false}});
  ASSERT_TRUE(server.ok());
  PollEventLoop loop;
  TAsyncSocket socket(loop);
  Recorder rec;
  rec.Attach(socket);
  std::string closed_with;
  socket.OnSessionClosed = [&](TAsyncSocket&, uint16_t e) {
    rec.Add("closed", e);
    closed_with = rec.received;
  };
  socket.SetAddr("127.0.0.1");
  socket.SetPort(std::to_string(server.port()));
  socket.Connect();
  ASSERT_TRUE(RunUntil(loop, [&] { return rec.Has("closed 0"); }));
  EXPECT_EQ(closed_with, payload);
  EXPECT_EQ(rec.events, (std::vector<std::string>{"connected 0", "closed 0"}));
  EXPECT_EQ(socket.ReadCount(), 0u);  // reset by the close
  EXPECT_EQ(socket.State(), ssClosed);
  // Settings of one connection are forgotten.
  EXPECT_EQ(socket.Addr(), "");
}

TEST(AsyncSocket, SendsQueuedBytesAndReportsSentOnlyLater) {
  ScriptServer server({{"HTTP/1.0 200 OK\r\n\r\n", true}});
  ASSERT_TRUE(server.ok());
  PollEventLoop loop;
  TAsyncSocket socket(loop);
  Recorder rec;
  rec.Attach(socket);
  socket.SetAddr("127.0.0.1");
  socket.SetPort(std::to_string(server.port()));
  socket.Connect();
  ASSERT_TRUE(RunUntil(loop, [&] { return rec.Has("connected 0"); }));
  std::string request = "GET / HTTP/1.0\r\nX: " + std::string(3000, 'p') + "\r\n\r\n";
  EXPECT_EQ(socket.Send(request.data(), request.size()), static_cast<int>(request.size()));
  EXPECT_FALSE(rec.Has("sent 0"));  // never inside Send
  ASSERT_TRUE(RunUntil(loop, [&] { return rec.Has("closed 0"); }));
  EXPECT_EQ(std::count(rec.events.begin(), rec.events.end(), "sent 0"), 1);
  EXPECT_EQ(rec.received, "HTTP/1.0 200 OK\r\n\r\n");
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0], request);
}

TEST(AsyncSocket, SendWhileNotConnectedFailsAndCloseFiresOnce) {
  PollEventLoop loop;
  TAsyncSocket socket(loop);
  Recorder rec;
  rec.Attach(socket);
  EXPECT_EQ(socket.Send("x", 1), -1);
  EXPECT_EQ(socket.LastErrorMessage(), "Socket is not connected (#10057 in Send)");
  EXPECT_EQ(socket.LastError(), 10057);

  ScriptServer server({{"", false, false, true}});
  ASSERT_TRUE(server.ok());
  socket.SetAddr("127.0.0.1");
  socket.SetPort(std::to_string(server.port()));
  socket.Connect();
  ASSERT_TRUE(RunUntil(loop, [&] { return rec.Has("connected 0"); }));
  socket.SetPort("1");
  EXPECT_EQ(socket.LastErrorMessage(), "Cannot change Port if not closed");
  socket.Close();
  socket.Close();
  EXPECT_EQ(std::count(rec.events.begin(), rec.events.end(), "closed 0"), 1);
}

TEST(AsyncSocket, CloseLaterClosesOnALaterTurn) {
  ScriptServer server({{"", false, false, true}});
  ASSERT_TRUE(server.ok());
  PollEventLoop loop;
  TAsyncSocket socket(loop);
  Recorder rec;
  rec.Attach(socket);
  socket.SetAddr("127.0.0.1");
  socket.SetPort(std::to_string(server.port()));
  socket.Connect();
  ASSERT_TRUE(RunUntil(loop, [&] { return rec.Has("connected 0"); }));
  socket.CloseLater();
  EXPECT_FALSE(rec.Has("closed 0"));
  EXPECT_EQ(socket.State(), ssConnected);
  ASSERT_TRUE(RunUntil(loop, [&] { return rec.Has("closed 0"); }));
  EXPECT_EQ(socket.State(), ssClosed);
}

}  // namespace
}  // namespace vellora
