#pragma once
// A small HTTP/1.0 server on 127.0.0.1 for download tests: a thread per connection, answers by path
// from a table the test fills. Every answer closes its connection.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackHttpServer {
public:
    struct Response {
        Response(int s = 200, std::string b = {}, std::string h = {}, int stall = 0, bool cut = false)
            : status(s), body(std::move(b)), extraHeaders(std::move(h)), stallMs(stall), truncate(cut)
        {
        }
        int status = 200;
        std::string body;
        std::string extraHeaders;  // full lines, each ending with \r\n
        int stallMs = 0;           // wait this long after the headers before the body
        bool truncate = false;     // announce the body's length but close before sending all of it
    };
    struct Request {
        std::string path;
        std::string headers;
    };

    LoopbackHttpServer()
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        socklen_t len = sizeof(addr);
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
        ::listen(m_listen, 8);
        m_thread = std::thread([this] { Run(); });
    }
    ~LoopbackHttpServer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_listen);
    }

    // "http://127.0.0.1:port"
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    std::string Url(const std::string& path) const { return Base() + path; }

    void Serve(const std::string& path, Response response)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_routes[path] = std::move(response);
    }
    std::vector<Request> Requests()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }

private:
    void Run()
    {
        while (!m_stop) {
            pollfd pfd{m_listen, POLLIN, 0};
            if (::poll(&pfd, 1, 50) <= 0)
                continue;
            const int fd = ::accept(m_listen, nullptr, nullptr);
            if (fd < 0)
                continue;
            m_workers.emplace_back([this, fd] {
                Handle(fd);
                ::close(fd);
            });
        }
        for (std::thread& worker : m_workers)
            worker.join();
    }

    void Handle(int fd)
    {
        std::string in;
        char buffer[4096];
        while (in.find("\r\n\r\n") == std::string::npos) {
            pollfd pfd{fd, POLLIN, 0};
            if (::poll(&pfd, 1, 2000) <= 0)
                return;
            const ssize_t n = ::recv(fd, buffer, sizeof(buffer), 0);
            if (n <= 0)
                return;
            in.append(buffer, std::size_t(n));
        }
        const std::size_t sp1 = in.find(' ');
        const std::size_t sp2 = in.find(' ', sp1 + 1);
        Request request{in.substr(sp1 + 1, sp2 - sp1 - 1), in.substr(0, in.find("\r\n\r\n") + 2)};
        Response response;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(request);
            auto it = m_routes.find(request.path);
            if (it != m_routes.end())
                response = it->second;
            else
                response = Response{404, "not here"};
        }
        std::string head = "HTTP/1.0 " + std::to_string(response.status) + " X\r\nContent-Length: " +
                           std::to_string(response.body.size()) + "\r\n" + response.extraHeaders + "\r\n";
        Send(fd, head);
        if (response.stallMs > 0) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(response.stallMs);
            while (!m_stop && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Send(fd, response.truncate ? response.body.substr(0, response.body.size() / 2) : response.body);
    }

    static void Send(int fd, const std::string& bytes)
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            done += std::size_t(n);
        }
    }

    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::map<std::string, Response> m_routes;
    std::vector<Request> m_requests;
    std::vector<std::thread> m_workers;
    std::thread m_thread;
};
