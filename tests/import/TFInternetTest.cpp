// The listing download against loopback HTTP servers, one per block of the
// listing service, that answer as each case needs: a listing, an error
// status, a reset, silence, or too much.
#include "import/TFInternet.h"

#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/ScriptedWaitBox.h"
#include "support/qt/ModalDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <list>
#include <optional>
#include <thread>
#include <tuple>

namespace {

using namespace std::string_literals;

// NUL bytes, as TVs write them into unused columns, are bytes of their line.
const std::vector<std::string> kLines = {"SATCODX103 Astra 1F            T    11954     0ZDF     0192\0\0"s,
                                         "not a\0channel line"s, "satcodx103 Astra 1F            R    11954     03SAT"};
const std::string kListing = kLines[0] + "\r\n" + kLines[1] + "\n" + kLines[2] + "\r\n";

struct Answer {
    enum Kind { Body, Reset, Stall, Endless } kind = Body;
    int status = 200;
    std::string body = kListing;
};

// Block and first line of every request, in the order the servers got them.
std::vector<std::pair<int, std::string>> requests;

// One block's server: logs the first line of each request and answers it.
class LoopbackServer : public QObject {
public:
    LoopbackServer()
    {
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray head = s->property("head").toByteArray() + s->readAll();
                    s->setProperty("head", head.contains("\r\n\r\n") ? QByteArray() : head);
                    if (head.contains("\r\n\r\n")) {
                        requests.emplace_back(block, head.left(head.indexOf("\r\n")).toStdString());
                        Respond(s);
                    }
                });
            }
        });
    }
    ~LoopbackServer() { EndlessSent(); }
    std::string Address() const { return "127.0.0.1:" + std::to_string(server_.serverPort()); }

    // What the endless body got into the connection before the client closed
    // it: more than the client can have held.
    std::int64_t EndlessSent()
    {
        if (writer_.joinable())
            writer_.join();
        return sent_;
    }

    Answer answer;
    int block = 0;

private:
    void Respond(QTcpSocket* s)
    {
        if (answer.kind == Answer::Reset) {
            const linger hard{1, 0}; // closing sends a reset
            setsockopt(int(s->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
            s->abort();
        } else if (answer.kind == Answer::Body) {
            s->write("HTTP/1.1 " + QByteArray::number(answer.status) + " X\r\nContent-Length: "
                     + QByteArray::number(qsizetype(answer.body.size())) + "\r\nConnection: close\r\n\r\n"
                     + QByteArray::fromStdString(answer.body));
            s->disconnectFromHost();
        } else if (answer.kind == Answer::Endless) {
            // A chunked body that never ends, from a thread of its own (on a
            // blocking duplicate of the socket) as fast as the client takes it.
            EndlessSent();
            const int fd = ::dup(int(s->socketDescriptor()));
            s->abort();
            sent_ = 0;
            writer_ = std::thread([this, fd] {
                ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
                const int small = 64 << 10; // little slack in this side's kernel buffer
                const timeval patience{10, 0};
                ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
                ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
                std::string out = "HTTP/1.1 200 X\r\nTransfer-Encoding: chunked\r\n\r\n";
                while (sent_ < (1 << 30)) { // a client that never stops fails, but ends
                    out += "10000\r\n" + std::string(0x10000, 'x') + "\r\n";
                    const ssize_t n = ::send(fd, out.data(), out.size(), MSG_NOSIGNAL);
                    if (n < 0)
                        break;
                    sent_ += n;
                    out.erase(0, size_t(n));
                }
                ::close(fd);
            });
            // The client's user-interface thread busy for a moment, as a real
            // one may be: only its network thread reads meanwhile.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
    }

    QTcpServer server_;
    std::thread writer_;
    std::atomic<std::int64_t> sent_ = 0;
};

// Sets a variable (unsets it for nullopt) until the end of the scope.
struct EnvVar {
    QByteArray name, old;
    bool had;
    EnvVar(const char* n, const std::optional<std::string>& v)
        : name(n), old(qgetenv(n)), had(qEnvironmentVariableIsSet(n))
    {
        v ? qputenv(n, v->c_str()) : qunsetenv(n);
    }
    ~EnvVar() { had ? qputenv(name, old) : qunsetenv(name); }
};

class ListingDownload : public ::testing::Test {
protected:
    ListingDownload()
    {
        requests.clear();
        for (const char* proxy : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
            env.emplace_back(proxy, std::nullopt);
        for (int block = 1; block <= 9; ++block) {
            servers[block - 1].block = block;
            env.emplace_back(("VEXA_LISTING_HOST" + std::to_string(block)).c_str(), servers[block - 1].Address());
        }
    }

    struct Choice {
        int row = 6;                 // used when typed is null
        const char* typed = nullptr; // keys typed into Grados
        bool west = false;
        int block = 0;               // 0 Auto
    };
    // The user's choice, then Importar; the dialog's result.
    bool Run(TFInternet& d, const Choice& c)
    {
        WhenModal(&d, [&](QWidget*) {
            if (c.typed) {
                d.CheckBox1->click();
                d.Grados->setCursorPosition(0);
                QTest::keyClicks(d.Grados, QString::fromLatin1(c.typed));
                d.Orientacion->setCurrentIndex(c.west ? 1 : 0);
                d.ComboBox2->setCurrentIndex(c.block);
            } else {
                d.ComboBox1->setCurrentIndex(c.row);
            }
            d.BitBtn1->click();
        }, 30000);
        return d.Execute();
    }

    std::array<LoopbackServer, 9> servers;
    std::list<EnvVar> env;
    ScriptedMessageBoxes boxes;
    ScriptedWaitBoxes waits;
    const std::filesystem::path file = PathNoSlash(GetDirTemp()) + "/S0001.SDX";
};

} // namespace

TEST(ListingRules, BlockPositionAndHost)
{
    // Each block starts just above its threshold.
    for (const auto& [v, block] : {std::pair{189, '1'}, {190, '2'}, {409, '2'}, {410, '3'}, {1459, '4'}, {1460, '5'},
                                   {2509, '6'}, {2510, '7'}, {3149, '8'}, {3150, '9'}})
        EXPECT_EQ(AutoBlock(v), block) << v;

    const std::tuple<const char*, const char*, int> hosts[] = {
        {"listing.example", "listing.example", -1}, {"[::1]:81", "::1", 81}, {"http://listing", nullptr, 0},
        {"u@listing", nullptr, 0}, {"listing:", nullptr, 0}, {"listing:65536", nullptr, 0}, {"a b", nullptr, 0}};
    for (const auto& [text, host, port] : hosts) {
        const auto server = ParseListingHost(text);
        ASSERT_EQ(server.has_value(), host != nullptr) << text;
        EXPECT_TRUE(!server || (server->Host == host && server->Port == port)) << text;
    }
}

// The request goes to the chosen block's server, or through the proxy.
TEST_F(ListingDownload, EachChoiceAsksItsBlockForItsPosition)
{
    const std::tuple<Choice, bool, int, const char*> rows[] = {
        {{}, false, 2, "/_data/0192.sdx"}, // the row selected at the start: Astra
        {{43}, false, 9, "/_data/3592.sdx"},
        {{0, "19.2"}, false, 2, "/_data/0192.sdx"},
        {{0, "5.0", true}, false, 9, "/_data/3550.sdx"},
        {{0, "45.1", true}, false, 8, "/_data/3149.sdx"},
        {{0, "0.0", true}, false, 9, "/_data/3600.sdx"},
        {{0, " 5.0"}, false, 1, "/_data/0050.sdx"},
        {{0, "19.2", false, 4}, false, 4, "/_data/0192.sdx"},
        {{}, true, 1, "http://listing.invalid/_data/0192.sdx"},
    };
    for (const auto& [choice, proxied, block, path] : rows) {
        SCOPED_TRACE(path);
        requests.clear();
        std::list<EnvVar> proxy;
        if (proxied) {
            proxy.emplace_back("http_proxy", "http://" + servers[0].Address());
            proxy.emplace_back("VEXA_LISTING_HOST2", "listing.invalid");
        }
        TFInternet d;
        ASSERT_TRUE(Run(d, choice));
        const std::vector<std::pair<int, std::string>> expected{{block, "GET " + std::string(path) + " HTTP/1.1"}};
        EXPECT_EQ(requests, expected);
        EXPECT_EQ(d.Lines, kLines);
        EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_EQ(FromQt(d.ComboBox1->itemText(43)), "Thor 2,3 .8\xB0 " + LangText(1609));
    }
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(waits.Records().back()->labels.back() == LangText(1610) && !waits.Records().back()->cancelVisible);
}

// Every failure is reported once, leaves no file behind, ends the wait and
// gives no lines to import. A block without a usable server sends nothing.
TEST_F(ListingDownload, AFailureIsReportedOnceAndImportsNothing)
{
    // host: block 2's server ("": none); null: the loopback one.
    const struct { const char* name; Answer answer; const char* host = nullptr; } rows[] = {
        {"not found", {.status = 404}},
        {"redirect", {.status = 301}},
        {"no SDX line", {.body = "<html>listing moved</html>\r\n"}},
        {"empty", {.body = ""}},
        {"reset", {.kind = Answer::Reset}},
        {"stall", {.kind = Answer::Stall}},
        {"over 4 MiB", {.body = QByteArray::fromStdString(kListing).repeated((4 << 20) / 100).toStdString()}},
        {"endless, no length", {.kind = Answer::Endless}},
        {"no host", {}, ""},
        {"host with a path", {}, "127.0.0.1/x"},
    };
    for (const auto& [name, answer, host] : rows) {
        SCOPED_TRACE(name);
        boxes.Clear();
        servers[1].answer = answer;
        requests.clear();
        std::optional<EnvVar> env2;
        if (host)
            env2.emplace("VEXA_LISTING_HOST2", *host ? std::optional<std::string>(host) : std::nullopt);
        TFInternet d;
        d.SetTransferTimeout(300);
        EXPECT_FALSE(Run(d, {}));
        EXPECT_TRUE(d.Lines.empty());
        EXPECT_EQ(requests.empty(), host != nullptr); // Qt asks once more after a reset
        EXPECT_TRUE(boxes.Boxes().size() == 1 && boxes.Boxes()[0].text == LangText(1611));
        EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_TRUE(waits.Records().back()->starts == 1 && waits.Records().back()->ends == 1);
        // The client stops at the cap: it cannot have held more than the
        // server got into the connection before it closed.
        if (answer.kind == Answer::Endless) {
            EXPECT_LT(servers[1].EndlessSent(), kMaxListingBytes + (4 << 20));
        }
    }
}
