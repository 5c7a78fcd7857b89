// The system resolver: getaddrinfo on a detached worker thread per lookup.
//
// getaddrinfo blocks for as long as the network makes it, so it never runs on the UI thread.
// The result lives in a block shared by the worker and the waiting side; a lookup that is
// dropped (time-out, cancel) leaves the worker to finish and free the block on its own.
#include "platform/net/NetErrors.h"
#include "platform/net/StreamSocket.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <vector>

namespace plat {

namespace {

struct LookupResult {
    std::mutex Lock;
    std::condition_variable Finished;
    bool Done = false;
    int Error = 0;
    std::vector<NetAddress> Addresses;
};

NetAddress AddressOf(const addrinfo& Entry)
{
    NetAddress address;
    if (Entry.ai_family == AF_INET && Entry.ai_addrlen >= sizeof(sockaddr_in)) {
        address.Family = NetAddress::kIPv4;
        std::memcpy(address.Bytes.data(), &reinterpret_cast<const sockaddr_in*>(Entry.ai_addr)->sin_addr, 4);
    } else if (Entry.ai_family == AF_INET6 && Entry.ai_addrlen >= sizeof(sockaddr_in6)) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(Entry.ai_addr);
        address.Family = NetAddress::kIPv6;
        std::memcpy(address.Bytes.data(), &v6->sin6_addr, 16);
        address.ScopeId = v6->sin6_scope_id;
    }
    return address;
}

// Both families, in getaddrinfo's order (RFC 6724's preference, as /etc/gai.conf tunes it).
void RunLookup(const std::string& HostName, LookupResult& Result)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int gai = getaddrinfo(HostName.c_str(), nullptr, &hints, &found);
    std::vector<NetAddress> addresses;
    for (const addrinfo* entry = gai == 0 ? found : nullptr; entry; entry = entry->ai_next) {
        const NetAddress address = AddressOf(*entry);
        if (address.Family != NetAddress::kNone && addresses.size() < kMaxLookupAddresses &&
            std::find(addresses.begin(), addresses.end(), address) == addresses.end())
            addresses.push_back(address);
    }
    if (found)
        freeaddrinfo(found);
    {
        std::lock_guard<std::mutex> guard(Result.Lock);
        Result.Done = true;
        Result.Error = gai != 0 ? SocketErrorFromLookup(gai) : addresses.empty() ? kSockNoData : 0;
        Result.Addresses = std::move(addresses);
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

    std::vector<NetAddress> Addresses() const override
    {
        std::lock_guard<std::mutex> guard(FResult->Lock);
        return FResult->Addresses;
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
