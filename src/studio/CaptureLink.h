#pragma once

#include "studio/StudioCaptureController.h"

#include <QList>
#include <QObject>
#include <QPointer>

namespace orvella {

// A screen part's pointer to the capture controller together with the signal connections it
// made to it: pointing it elsewhere drops those connections.
class CaptureLink
{
public:
    CaptureLink() = default;
    CaptureLink(const CaptureLink &) = delete;
    CaptureLink &operator=(const CaptureLink &) = delete;
    ~CaptureLink() { dropConnections(); }

    [[nodiscard]] StudioCaptureController *get() const { return m_capture; }
    StudioCaptureController *operator->() const { return m_capture; }
    explicit operator bool() const { return !m_capture.isNull(); }

    // False when it already points there.
    bool repoint(StudioCaptureController *capture)
    {
        if (m_capture == capture)
            return false;
        dropConnections();
        m_capture = capture;
        return true;
    }

    // Connects a signal of the controller pointed at; dropped by the next repoint.
    template<typename Signal, typename Receiver, typename Slot>
    void forward(Signal signal, const Receiver *receiver, Slot slot)
    {
        if (m_capture)
            m_connections << QObject::connect(m_capture.data(), signal, receiver, slot);
    }

private:
    void dropConnections()
    {
        for (const auto &connection : std::as_const(m_connections))
            QObject::disconnect(connection);
        m_connections.clear();
    }

    QPointer<StudioCaptureController> m_capture;
    QList<QMetaObject::Connection> m_connections;
};

} // namespace orvella
