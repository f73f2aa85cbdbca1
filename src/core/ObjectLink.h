#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

namespace orvella {

// A pointer to an object some model reads from, together with the signal connections made to
// it: pointing it elsewhere (or destroying the link) drops those connections, so a model that
// is handed a new source never hears from the old one.
template<typename T>
class ObjectLink
{
public:
    ObjectLink() = default;
    ObjectLink(const ObjectLink &) = delete;
    ObjectLink &operator=(const ObjectLink &) = delete;
    ~ObjectLink() { dropConnections(); }

    [[nodiscard]] T *get() const { return m_object; }
    T *operator->() const { return m_object; }
    explicit operator bool() const { return !m_object.isNull(); }

    // False when it already points there.
    bool repoint(T *object)
    {
        if (m_object == object)
            return false;
        dropConnections();
        m_object = object;
        return true;
    }

    // Connects a signal of the object pointed at; dropped by the next repoint.
    template<typename Signal, typename Receiver, typename Slot>
    void forward(Signal signal, const Receiver *receiver, Slot slot)
    {
        if (m_object)
            m_connections << QObject::connect(m_object.data(), signal, receiver, slot);
    }

private:
    void dropConnections()
    {
        for (const auto &connection : std::as_const(m_connections))
            QObject::disconnect(connection);
        m_connections.clear();
    }

    QPointer<T> m_object;
    QList<QMetaObject::Connection> m_connections;
};

} // namespace orvella
