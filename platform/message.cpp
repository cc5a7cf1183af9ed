#include "platform/message.h"

namespace nivra::platform {

MessageTarget::MessageTarget(EventLoop& loop) : loop_(loop) {}

MessageTarget::~MessageTarget() = default;

void MessageTarget::postMessage(const Message& msg) {
  loop_.post(alive_.guard([this, msg] { handleMessage(msg); }));
}

}  // namespace nivra::platform
