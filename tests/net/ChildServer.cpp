#include "tests/net/ChildServer.h"

#include "tests/net/FixtureServer.h"
#include "tests/net/TestCa.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace nettest {

ChildServer::ChildServer()
{
    FDir = FFolder.Path().empty() ? "/tmp" : FFolder.Path();
    // The servers drop their privileges; their workers still have to read the files.
    std::filesystem::permissions(FDir,
                                 std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                     std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                     std::filesystem::perms::others_exec);
    FPort = UnusedLoopbackPort();
}

ChildServer::~ChildServer()
{
    if (FPid > 0) {
        kill(FPid, SIGTERM);
        int status = 0;
        for (int i = 0; i < 100 && waitpid(FPid, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (waitpid(FPid, &status, WNOHANG) == 0) {
            kill(FPid, SIGKILL);
            waitpid(FPid, &status, 0);
        }
    }
}

bool ChildServer::Installed(const std::string& Program)
{
    return access(Program.c_str(), X_OK) == 0;
}

void ChildServer::WriteFile(const std::string& Name, const std::string& Content) const
{
    const std::filesystem::path path = std::filesystem::path(FDir) / Name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << Content;
}

std::string ChildServer::ReadFile(const std::string& Name) const
{
    std::ifstream in(std::filesystem::path(FDir) / Name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ChildServer::Start(const std::string& Program, const std::vector<std::string>& Args)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(Program.c_str()));
    for (const std::string& arg : Args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string log = FDir + "/stderr.log";
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const int spawned = posix_spawn(&FPid, Program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        FPid = -1;
        return false;
    }
    return WaitForListener(FPort, 5000);
}

bool StartNginx(ChildServer& Server, const std::string& ServerBlocks)
{
    const std::string dir = Server.Dir();
    Server.WriteFile("nginx.conf",
                     "worker_processes 1;\nerror_log " + dir + "/error.log;\npid " + dir +
                         "/nginx.pid;\n"
                         "events { worker_connections 64; }\n"
                         "http {\n access_log off;\n client_body_temp_path " +
                         dir + "/t1;\n proxy_temp_path " + dir + "/t2;\n fastcgi_temp_path " + dir +
                         "/t3;\n uwsgi_temp_path " + dir +
                         "/t4;\n"
                         " scgi_temp_path " +
                         dir + "/t5;\n types { text/xml xml; application/json json; }\n" + ServerBlocks + "}\n");
    return Server.Start(kNginx, {"-e", dir + "/error.log", "-p", dir, "-c", dir + "/nginx.conf", "-g", "daemon off;"});
}

bool StartTinyproxy(ChildServer& Proxy)
{
    Proxy.WriteFile("tinyproxy.conf",
                    "Port " + std::to_string(Proxy.Port()) +
                        "\nListen 127.0.0.1\nTimeout 5\nMaxClients 8\nAllow 127.0.0.1\n"
                        "LogLevel Error\nUser nobody\nGroup nogroup\n");
    return Proxy.Start(kTinyproxy, {"-d", "-c", Proxy.Dir() + "/tinyproxy.conf"});
}

bool StartSquid(ChildServer& Proxy)
{
    const std::string dir = Proxy.Dir();
    // Squid drops to its own user, which writes the logs here.
    std::filesystem::permissions(dir, std::filesystem::perms::all);
    Proxy.WriteFile("squid.conf",
                    "http_port 127.0.0.1:" + std::to_string(Proxy.Port()) + "\npid_filename " + dir +
                        "/squid.pid\naccess_log " + dir + "/access.log\ncache_log " + dir +
                        "/cache.log\ncoredump_dir " + dir +
                        "\ncache deny all\ncache_mem 8 MB\n"
                        "pinger_enable off\nshutdown_lifetime 0 seconds\n"
                        "acl loopback src 127.0.0.0/8\nhttp_access allow loopback\n"
                        "http_access deny all\n");
    return Proxy.Start(kSquid, {"-N", "-f", dir + "/squid.conf"});
}

bool StartTlsWithoutGoodbye(ChildServer& Server, const std::string& Reply)
{
    const TestCa ca(Server.Dir());
    if (!ca.Made() || !ca.Issue("server", "localhost", 2))
        return false;
    Server.WriteFile("reply.bin", Reply);
    const std::string dir = Server.Dir();
    return Server.Start(kPython,
                        {SOLVANE_SOURCE_DIR "/tests/net/tls_no_goodbye.py", dir + "/server.pem", dir + "/server.key",
                         std::to_string(Server.Port()), dir + "/reply.bin"});
}

}  // namespace nettest
