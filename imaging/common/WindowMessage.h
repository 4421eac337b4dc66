#pragma once
// Window messages between components, as Qt events: message m travels as an
// event of type QEvent::User + m, posted (queued) like PostMessage.
#include <QCoreApplication>
#include <QEvent>
#include <cstdint>

inline constexpr int WM_USER = 1024;
// Posted to a still-image component's notification window after a load and
// after view changes; lParam is the component.
inline constexpr int WM_PV_NOTIFY = WM_USER + 14;
// Step the scrolling message / the scrolling credits by one tick.
inline constexpr int WM_PV_SCROLLMESSAGE = WM_USER + 1;
inline constexpr int WM_PV_SCROLLCREDITS = WM_USER + 2;

class TMessageEvent : public QEvent {
  public:
    TMessageEvent(int message, intptr_t wParam, intptr_t lParam)
        : QEvent(TypeOf(message)), Message(message), WParam(wParam), LParam(lParam) {}
    static QEvent::Type TypeOf(int message) { return QEvent::Type(QEvent::User + message); }
    const int Message;
    const intptr_t WParam;
    const intptr_t LParam;
};

// PostMessage: queued, delivered by the event loop; nothing for no receiver.
inline void PostMessage(QObject* receiver, int message, intptr_t wParam, intptr_t lParam) {
    if (receiver) QCoreApplication::postEvent(receiver, new TMessageEvent(message, wParam, lParam));
}
