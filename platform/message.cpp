#include "platform/message.h"

namespace nivra::platform {

MessageTarget::MessageTarget(EventLoop& loop)
    : loop_(loop), alive_(std::make_shared<MessageTarget*>(this)) {}

MessageTarget::~MessageTarget() = default;

void MessageTarget::postMessage(const Message& msg) {
  std::weak_ptr<MessageTarget*> weak = alive_;
  loop_.post([weak, msg] {
    if (auto self = weak.lock()) (*self)->handleMessage(msg);
  });
}

}  // namespace nivra::platform
