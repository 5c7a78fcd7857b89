// The system resolver: getaddrinfo on a detached worker thread per lookup.
//
// getaddrinfo blocks for as long as the network makes it, so it never runs on the UI thread.
// The result lives in a block shared by the worker and the waiting side; a lookup that is
// dropped (time-out, cancel) leaves the worker to finish and free the block on its own.
#include "platform/net/NetErrors.h"
#include "platform/net/StreamSocket.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>

namespace plat {

namespace {

struct LookupResult {
    std::mutex Lock;
    std::condition_variable Finished;
    bool Done = false;
    int Error = 0;
    uint32_t Address = 0;
};

void RunLookup(const std::string& HostName, LookupResult& Result)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int gai = getaddrinfo(HostName.c_str(), nullptr, &hints, &found);
    int error = SocketErrorFromLookup(gai);
    uint32_t address = 0;
    if (gai == 0 && found && found->ai_addr && found->ai_family == AF_INET)
        address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    else if (gai == 0)
        error = kSockNoData;
    if (found)
        freeaddrinfo(found);
    {
        std::lock_guard<std::mutex> guard(Result.Lock);
        Result.Done = true;
        Result.Error = error;
        Result.Address = address;
    }
    Result.Finished.notify_all();
}

class ThreadLookup final : public NameLookup {
public:
    explicit ThreadLookup(const std::string& HostName) : FResult(std::make_shared<LookupResult>())
    {
        std::thread([HostName, result = FResult] { RunLookup(HostName, *result); }).detach();
    }

    bool WaitDone(int Ms) override
    {
        std::unique_lock<std::mutex> guard(FResult->Lock);
        return FResult->Finished.wait_for(guard, std::chrono::milliseconds(Ms), [this] { return FResult->Done; });
    }

    int Error() const override
    {
        std::lock_guard<std::mutex> guard(FResult->Lock);
        return FResult->Error;
    }

    uint32_t Address() const override
    {
        std::lock_guard<std::mutex> guard(FResult->Lock);
        return FResult->Address;
    }

private:
    std::shared_ptr<LookupResult> FResult;
};

class ThreadResolver final : public Resolver {
public:
    std::unique_ptr<NameLookup> StartLookup(const std::string& HostName) override
    {
        return std::make_unique<ThreadLookup>(HostName);
    }
};

}  // namespace

Resolver& SystemResolver()
{
    static ThreadResolver resolver;
    return resolver;
}

}  // namespace plat
