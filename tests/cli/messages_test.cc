// What the command prints where: a specified error message on its own first
// line with its full stop and a hint on the next, both on stderr; and an
// address pasted with blanks fetched as a browser would.

#include <gtest/gtest.h>

#include "cli/in_process.h"
#include "http/script_server.h"
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
            "Switch on \"Allow HTTPS\" (allowhttps) to fetch https addresses.\n");
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
