#include "platform/Message.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<MessageHandler> handler{nullptr};
std::atomic<void*> handlerUser{nullptr};
} // namespace

void SetMessageHandler(MessageHandler h, void* user) {
    handlerUser.store(user);
    handler.store(h);
}

void ShowMessage(const char* text) {
    if (MessageHandler h = handler.load())
        h(text ? text : "", handlerUser.load());
    else
        std::fprintf(stderr, "%s\n", text ? text : "");
}
