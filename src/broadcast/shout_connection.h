#pragma once

#include <memory>

#include "broadcast/broadcast_types.h"

namespace corvane::broadcast {

// The connection to an Icecast server through libshout, without blocking: TLS when the
// server offers it, the stream queued inside libshout while the server is slow. The only
// network connection the program makes.
class ShoutConnection : public StreamConnection {
public:
    ShoutConnection();
    ~ShoutConnection() override;

    Progress Open(const BroadcastSettings& settings) override;
    Progress Poll() override;
    bool Send(const uint8_t* data, size_t size) override;
    size_t Queued() override;
    bool SetTitle(const QString& title) override;
    void Close() override;
    Failure LastFailure() const override { return failure_; }

private:
    struct Shout;
    Progress Failed(int error);

    std::unique_ptr<Shout> shout_;
    BroadcastSettings settings_;
    bool connected_ = false;
    Failure failure_ = Failure::None;
};

}  // namespace corvane::broadcast
