#pragma once

// A second client of the test's X display, doing to the client's windows what another program
// or a window manager does: reading their properties, giving or taking the focus, destroying
// them. Each request is complete on the server when the call returns.

#include <QByteArray>
#include <QString>
#include <memory>
#include <xcb/xcb.h>

namespace orvella::test {

class X11Display
{
public:
    X11Display()
        : m_connection(xcb_connect(nullptr, nullptr))
    {
        if (!xcb_connection_has_error(m_connection))
            m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~X11Display() { xcb_disconnect(m_connection); }
    X11Display(const X11Display &) = delete;
    X11Display &operator=(const X11Display &) = delete;

    [[nodiscard]] bool isConnected() const { return m_root != XCB_NONE; }

    // The property as text (UTF-8 or Latin-1 as stored); empty when absent.
    [[nodiscard]] QByteArray property(xcb_window_t window, const char *name) const
    {
        const xcb_get_property_cookie_t cookie = xcb_get_property(
            m_connection, 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 4096);
        const Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(m_connection, cookie, nullptr));
        if (!reply)
            return {};
        return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
            xcb_get_property_value_length(reply.get()));
    }

    // The viewable top-level window of process `pid` that carries a class (Qt also makes a
    // hidden leader window and a selection owner per process); XCB_NONE when there is none.
    [[nodiscard]] xcb_window_t windowOf(qint64 pid) const
    {
        const Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr));
        if (!tree)
            return XCB_NONE;
        const xcb_window_t *children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            const QByteArray owner = property(children[i], "_NET_WM_PID");
            if (owner.size() != 4 || *reinterpret_cast<const quint32 *>(owner.constData()) != pid
                || property(children[i], "WM_CLASS").isEmpty())
                continue;
            const Reply<xcb_get_window_attributes_reply_t> attributes(
                xcb_get_window_attributes_reply(
                    m_connection, xcb_get_window_attributes(m_connection, children[i]), nullptr));
            if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
                return children[i];
        }
        return XCB_NONE;
    }

    // As a window manager gives a window the focus.
    void focus(xcb_window_t window)
    {
        xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
        sync();
    }
    // No window has the focus (as when the viewer is in another program).
    void focusNowhere() { focus(XCB_NONE); }

    void destroy(xcb_window_t window)
    {
        xcb_destroy_window(m_connection, window);
        sync();
    }

private:
    template<typename T>
    struct Reply : std::unique_ptr<T, decltype(&std::free)>
    {
        explicit Reply(T *reply)
            : std::unique_ptr<T, decltype(&std::free)>(reply, &std::free)
        { }
    };

    [[nodiscard]] xcb_atom_t atom(const char *name) const
    {
        const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection,
            xcb_intern_atom(m_connection, 1, uint16_t(qstrlen(name)), name), nullptr));
        return reply ? reply->atom : XCB_ATOM_NONE;
    }

    // A round trip: everything sent before has been carried out.
    void sync()
    {
        std::free(
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_root = XCB_NONE;
};

} // namespace orvella::test
