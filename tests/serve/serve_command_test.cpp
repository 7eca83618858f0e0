// pagorin serve against a real HTTP client: the executable is started on a
// small site, asked with libcurl, edited under it and ended with Ctrl+C.
#include <curl/curl.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/program_run.h"
#include "support/test_env.h"

namespace pagorin {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::seconds kPatience{20};

struct Reply {
  long status = 0;
  std::string type;
  std::string body;
};

// `pagorin serve site/site.pgx --port 0` in the test's folder, its
// standard output read line by line.
class ServeProcess {
 public:
  explicit ServeProcess(const testing::TestEnv& t) {
    int pipe_ends[2];
    EXPECT_EQ(pipe(pipe_ends), 0);
    pid_ = fork();
    if (pid_ == 0) {
      dup2(pipe_ends[1], STDOUT_FILENO);
      close(pipe_ends[0]);
      if (chdir(t.root().c_str()) != 0) {
        _exit(127);
      }
      setenv("XDG_CONFIG_HOME", t.Path("config").c_str(), 1);
      setenv("XDG_DATA_HOME", t.Path("data").c_str(), 1);
      setenv("SOURCE_DATE_EPOCH", "1709822100", 1);
      execl(PAGORIN_EXECUTABLE, PAGORIN_EXECUTABLE, "serve", "site/site.pgx", "--port", "0",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    close(pipe_ends[1]);
    out_ = pipe_ends[0];
    fcntl(out_, F_SETFL, O_NONBLOCK);
  }
  ~ServeProcess() {
    if (pid_ > 0 && status_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(out_);
  }

  // Waits until the output holds `text` after what earlier waits consumed;
  // false when it did not come in time.
  bool WaitFor(const std::string& text) {
    const auto end = Clock::now() + kPatience;
    for (;;) {
      const size_t found = output_.find(text, consumed_);
      if (found != std::string::npos) {
        consumed_ = found + text.size();
        return true;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
      pollfd wait = {out_, POLLIN, 0};
      if (left.count() <= 0 || poll(&wait, 1, static_cast<int>(left.count())) <= 0) {
        return false;
      }
      char buffer[4096];
      const ssize_t length = read(out_, buffer, sizeof buffer);
      if (length <= 0) {
        return false;
      }
      output_.append(buffer, static_cast<size_t>(length));
    }
  }
  // The port from "Serving ... on http://127.0.0.1:PORT/".
  int port() {
    if (port_ == 0 && WaitFor("http://127.0.0.1:")) {
      port_ = std::stoi(output_.substr(consumed_));
    }
    return port_;
  }
  // Ctrl+C; the exit status (-1 when it did not end normally).
  int Interrupt() {
    kill(pid_, SIGINT);
    int status = 0;
    waitpid(pid_, &status, 0);
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return status_;
  }
  const std::string& output() const { return output_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string output_;
  size_t consumed_ = 0;
  int port_ = 0;
  int status_ = -1;
};

size_t Collect(char* data, size_t size, size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

// GET of `path` exactly as written (no dot segments worked out).
Reply Get(int port, const std::string& path) {
  Reply reply;
  CURL* curl = curl_easy_init();
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + path;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
  if (curl_easy_perform(curl) == CURLE_OK) {
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
    char* type = nullptr;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type);
    reply.type = type != nullptr ? type : "";
  }
  curl_easy_cleanup(curl);
  return reply;
}

// Reads the event stream of a page served from build `since` until the
// first reload event; the stream up to there, or what came before the
// time ran out.
std::string FirstReloadEvent(int port, long since) {
  std::string stream;
  CURL* curl = curl_easy_init();
  const std::string url = "http://127.0.0.1:" + std::to_string(port) +
                          "/__pagorin/events?since=" + std::to_string(since);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(
      curl, CURLOPT_WRITEFUNCTION,
      +[](char* data, size_t size, size_t count, void* text) -> size_t {
        auto& got = *static_cast<std::string*>(text);
        got.append(data, size * count);
        return got.find("event: reload\n") != std::string::npos && got.ends_with("\n\n")
                   ? 0
                   : size * count;
      });
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &stream);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
  curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  return stream;
}

constexpr const char* kScript =
    "<script>new EventSource(\"/__pagorin/events?since=1\").addEventListener(\"reload\", "
    "function () { location.reload(); });</script>\n";

class ServeTest : public ::testing::Test {
 protected:
  ServeTest() {
    t.WriteFile(Site("site.pgx"), "EXT_SHOP,.php\r\nPROJECTPATH,./\r\n");
    t.WriteFile(Site("Templates/index.template"), "<html><body>[include=nav.inc]</body></html>");
    t.WriteFile(Site("Templates/shop.template"), "<html><body><?php echo 1; ?></body></html>");
    t.WriteFile(Site("Includes/nav.inc"), "[include=menu.inc]");
    t.WriteFile(Site("Includes/menu.inc"), "<nav>one</nav>");
    t.WriteFile(Site("style.css"), "p{}");
    t.WriteFile(Site("logo.png"), std::string("\x89PNG\r\n\x1a\n\0\1", 10));
    t.WriteFile(Site("feed.xml"), "<rss/>");
    t.WriteFile(t.Path("secret.txt"), "outside");
  }
  std::string Site(const std::string& relative = "") const { return t.Path("site/" + relative); }

  testing::TestEnv t;
};

TEST_F(ServeTest, ServesTheBuiltSiteWithItsTypesAndNothingElse) {
  ServeProcess serve(t);
  const int port = serve.port();
  ASSERT_NE(port, 0) << serve.output();
  ASSERT_TRUE(serve.WaitFor("Built the site in ")) << serve.output();
  const struct {
    std::string path;
    long status;
    std::string type, body;
  } cases[] = {
      {"/", 200, "text/html",
       "<html><body><nav>one</nav>" + std::string(kScript) + "</body></html>"},
      {"/shop.php", 200, "text/html",
       "<html><body><?php echo 1; ?><div style=\"position:fixed;bottom:0;left:0;right:0;"
       "padding:4px 8px;background:#ffd;border-top:1px solid #cc9;font:13px sans-serif;"
       "color:#000\">Preview: the server code of this page did not run.</div>\n" +
           std::string(kScript) + "</body></html>"},
      {"/style.css", 200, "text/css", "p{}"},
      {"/logo.png", 200, "image/png", std::string("\x89PNG\r\n\x1a\n\0\1", 10)},
      {"/feed.xml", 200, "application/xml", "<rss/>"},
      {"/../secret.txt", 403, "text/plain", "Forbidden\n"},
      {"/%2e%2e/secret.txt", 403, "text/plain", "Forbidden\n"},
      {"/%2E%2E%2fsecret.txt", 403, "text/plain", "Forbidden\n"},
      {"/Templates/index.template", 404, "text/plain", "Not found\n"},
      {"/Includes/nav.inc", 404, "text/plain", "Not found\n"},
      {"/site.pgx", 404, "text/plain", "Not found\n"},
      {"/nothing.html", 404, "text/plain", "Not found\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const Reply reply = Get(port, c.path);
    EXPECT_EQ(reply.status, c.status);
    EXPECT_EQ(reply.type, c.type);
    EXPECT_EQ(reply.body, c.body);
  }
  // The script lives only in what is served.
  EXPECT_EQ(t.ReadFile(Site("index.html")), "<html><body><nav>one</nav></body></html>");
  EXPECT_EQ(serve.Interrupt(), 0);
  EXPECT_TRUE(serve.WaitFor("Stopped\n")) << serve.output();
}

TEST_F(ServeTest, RebuildsOnAnEditAndShowsAFailedBuildInThePage) {
  ServeProcess serve(t);
  const int port = serve.port();
  ASSERT_NE(port, 0) << serve.output();
  ASSERT_TRUE(serve.WaitFor("Built the site in ")) << serve.output();

  // An edited include: the page is built again and open pages are told.
  t.WriteFile(Site("Includes/menu.inc"), "<nav>two</nav>");
  EXPECT_EQ(FirstReloadEvent(port, 1), ": listening\n\nevent: reload\ndata: 2\n\n");
  ASSERT_TRUE(serve.WaitFor("Built the site in ")) << serve.output();
  EXPECT_EQ(t.ReadFile(Site("index.html")), "<html><body><nav>two</nav></body></html>");

  // An include that names a missing one: every page shows why.
  t.WriteFile(Site("Includes/menu.inc"), "<nav>[include=gone.inc]</nav>");
  EXPECT_EQ(FirstReloadEvent(port, 2), ": listening\n\nevent: reload\ndata: 3\n\n");
  ASSERT_TRUE(serve.WaitFor("The build failed; the browser shows why\n")) << serve.output();
  const Reply failed = Get(port, "/index.html");
  EXPECT_EQ(failed.status, 500);
  EXPECT_EQ(failed.type, "text/html; charset=utf-8");
  EXPECT_NE(failed.body.find("<h1>Build failed</h1>\n"
                             "<pre>gone.inc not found in menu.inc. Please fix and re-run.</pre>\n"
                             "<p>While building index.html</p>\n"
                             "<p>Includes: index.template &gt; nav.inc &gt; menu.inc &gt; "
                             "gone.inc</p>\n"),
            std::string::npos)
      << failed.body;
  EXPECT_NE(failed.body.find("/__pagorin/events?since=3"), std::string::npos);
  EXPECT_EQ(Get(port, "/style.css").body, "p{}");

  // Fixed again: the pages come back.
  t.WriteFile(Site("Includes/menu.inc"), "<nav>three</nav>");
  EXPECT_EQ(FirstReloadEvent(port, 3), ": listening\n\nevent: reload\ndata: 4\n\n");
  ASSERT_TRUE(serve.WaitFor("Built the site in ")) << serve.output();
  EXPECT_EQ(Get(port, "/index.html").status, 200);

  // An include in a folder of its own, new and then edited, like any other.
  t.WriteFile(Site("Includes/parts/foot.inc"), "<p>foot</p>");
  t.WriteFile(Site("Includes/menu.inc"), "<nav>[include=parts/foot.inc]</nav>");
  EXPECT_EQ(FirstReloadEvent(port, 4), ": listening\n\nevent: reload\ndata: 5\n\n");
  // Open pages are told once the pages are made, before the disk has them.
  EXPECT_NE(Get(port, "/index.html").body.find("<nav><p>foot</p></nav>"), std::string::npos);
  ASSERT_TRUE(serve.WaitFor("Built the site in ")) << serve.output();
  t.WriteFile(Site("Includes/parts/foot.inc"), "<p>edited</p>");
  EXPECT_EQ(FirstReloadEvent(port, 5), ": listening\n\nevent: reload\ndata: 6\n\n");
  ASSERT_TRUE(serve.WaitFor("Built the site in ")) << serve.output();
  EXPECT_EQ(t.ReadFile(Site("index.html")), "<html><body><nav><p>edited</p></nav></body></html>");

  // A new template gets its page: the template list is made again.
  t.WriteFile(Site("Templates/new.template"), "<p>new</p>");
  EXPECT_EQ(FirstReloadEvent(port, 6), ": listening\n\nevent: reload\ndata: 7\n\n");
  ASSERT_TRUE(serve.WaitFor("Built the site in ")) << serve.output();
  EXPECT_EQ(t.ReadFile(Site("new.html")), "<p>new</p>");
  EXPECT_EQ(serve.Interrupt(), 0);
}

TEST(ServeLineTest, RefusesWhatItCannotUse) {
  testing::TestEnv t;
  const struct {
    std::string args;
    int status;
    std::string first_error_line;
  } cases[] = {
      {"serve", 2, "pagorin serve: name the project file"},
      {"serve a.pgx --port", 2, "pagorin serve: --port needs a number"},
      {"serve a.pgx --port 70000", 2,
       "pagorin serve: --port takes a number from 0 to 65535, not 70000"},
      {"serve a.pgx --watch", 2, "pagorin serve: unknown option --watch"},
      {"serve a.pgx b.pgx", 2, "pagorin serve: unexpected argument b.pgx"},
      {"serve missing.pgx --port 0", 1, "pagorin: missing.pgx does not exist."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const testing::ProgramRun run = testing::RunPagorin(t, c.args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.first_error_line);
  }
  const testing::ProgramRun help = testing::RunPagorin(t, "serve --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: pagorin serve PROJECT.pgx [--port N]\n"));
}

}  // namespace
}  // namespace pagorin
