// What the command prints where: a specified error message on its own first
// line with its full stop and a hint on the next, both on stderr; the list of
// failed addresses of a grab that goes on past them; and an address pasted
// with blanks fetched as a browser would.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/in_process.h"
#include "http/script_server.h"
#include "pipeline/delay_server.h"
#include "test_util.h"

namespace vellora {
namespace {

TEST(CommandMessages, AnHttpsAddressWithoutAllowHttpsGivesTheMessageThenTheHint) {
  TempDir dir;
  CommandResult r =
      RunInProcess({"run", "--presets", dir.path() + "/P", "--preset", "p", "--create", "--set",
                    "urls2grab=https://127.0.0.1:9/x.htm", "grab"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "Protocol \"https\" not implemented.\n"
            "Switch on \"Allow HTTPS\" (allowhttps) to fetch https addresses.\n"
            "At line 1 of the list: https://127.0.0.1:9/x.htm\n");
}

TEST(CommandMessages, AGrabGoingOnPastFailedAddressesListsThemAndFails) {
  TempDir dir;
  testing::DelayServer server;
  server.SetPage("/a.htm", {"<p>a</p>"});
  server.SetPage("/c.htm", {"<p>c</p>"});
  server.SetPage("/slow.htm", {"", 0, 200, true});  // never answered
  const std::string list = server.Url("/a.htm") + "\n" + server.Url("/gone.htm") + "\n" +
                           server.Url("/c.htm") + "\n" + server.Url("/slow.htm") + "\n";
  WriteFileForTest(dir.path() + "/list.txt", list);
  const std::string presets = dir.path() + "/P";
  for (const char* connections : {"1", "3"}) {
    SCOPED_TRACE(std::string(connections) + " connections");
    CommandResult r = RunInProcess({"run", "--presets", presets, "--preset", "p", "--create",
                                    "--set", "urls2grab=@" + dir.path() + "/list.txt", "--set",
                                    "grabgoon=1", "--set", "grabtimeout=1", "--set",
                                    std::string("grabconnections=") + connections, "grab"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "2 of 4 addresses failed.\nLine 2 (" + server.Url("/gone.htm") +
                         "): Not Found.\nLine 4 (" + server.Url("/slow.htm") +
                         "): Connection timed out.\n");
    const std::string files = presets + "/p/Files/";
    EXPECT_EQ(ReadFileForTest(files + "zarngrab#1.htm"), "<p>a</p>");
    EXPECT_EQ(ReadFileForTest(files + "zarngrab#3.htm"), "<p>c</p>");
    EXPECT_FALSE(std::filesystem::exists(files + "zarngrab#2.htm"));
    EXPECT_FALSE(std::filesystem::exists(files + "zarngrab#4.htm"));
    // The preset was saved with the setting.
    EXPECT_NE(ReadFileForTest(presets + "/p/settings.ini").find("\r\nGrabGoOn=1\r\n"),
              std::string::npos);
    std::filesystem::remove_all(presets);
  }
}

TEST(CommandMessages, FetchReadsAnAddressAsABrowserDoes) {
  testing::ScriptServer server({{"HTTP/1.0 200 OK\r\n\r\npage"}});
  ASSERT_TRUE(server.ok());
  CommandResult r = RunInProcess({"fetch", "  " + server.url("/a b.htm") + " \t"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "page");
  std::vector<std::string> requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].substr(0, requests[0].find("\r\n")), "GET /a%20b.htm HTTP/1.0");
  // A host name that IDNA refuses ends before any connection.
  r = RunInProcess({"fetch",
                    "http://a\xE2\x80\x8E"
                    "b.example/"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err,
            "Invalid host name \"a\xE2\x80\x8E"
            "b.example\"\n");
}

}  // namespace
}  // namespace vellora
