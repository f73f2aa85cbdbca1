#include "platform/MpvCore.h"

#include "platform/MpvLibrary.h"
#include "platform/PlatformError.h"
#include "platform/PlatformLog.h"

#include <QByteArray>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <clocale>
#include <vector>

namespace orvella {

MpvCore::MpvCore()
{
    // mpv refuses to start unless numbers are formatted the C way.
    std::setlocale(LC_NUMERIC, "C");
    m_handle = mpvLibrary().create();
    if (!m_handle)
        throw PlatformError(QStringLiteral("The video player could not be created."));
    setOption("vo", "libmpv");
    setOption("hwdec", "no");
    setOption("ytdl", "no");
    setOption("terminal", "no");
    setOption("input-default-bindings", "no");
    setOption("osc", "no");
    setOption("audio-client-name", "Orvella TV");
    // Probing every audio output costs about 0.1 s where no sound server runs; without any,
    // the picture plays on silently.
    setOption("ao", "pipewire,pulse,alsa");
    setOption("audio-fallback-to-null", "yes");
    // An item stays loaded at its end, as the player's item does, so the end can be told apart
    // from a cut stream and a live item can be sought back to its edge.
    setOption("keep-open", "yes");
    // One stream at a time: two decoding threads keep up with the highest variants at no more
    // processor time, and each thread holds frames of its own (mpv's default, one per core,
    // costs about 30 MiB more on eight cores).
    setOption("vd-lavc-threads", "2");
    setOption("cache", "yes");
    setOption("sub-auto", "no");
    setOption("idle", "yes");
    if (const int error = mpvLibrary().initialize(m_handle); error < 0) {
        mpvLibrary().terminate_destroy(m_handle);
        m_handle = nullptr;
        throw PlatformError(QStringLiteral("The video player could not be started (%1).")
                                .arg(QString::fromUtf8(mpvLibrary().error_string(error))));
    }
    // libmpv's own messages go to the player category: warnings always, more when its debug
    // output is on.
    mpvLibrary().request_log_messages(m_handle, lcPlayer().isDebugEnabled() ? "v" : "warn");
}

MpvCore::~MpvCore()
{
    if (m_handle)
        mpvLibrary().terminate_destroy(m_handle);
}

void MpvCore::setOption(const char *name, const char *value) const
{
    if (const int error = mpvLibrary().set_option_string(m_handle, name, value); error < 0)
        qCWarning(lcPlayer) << "mpv refused option" << name << "=" << value << ":"
                            << mpvLibrary().error_string(error);
}

void logMpvMessage(const mpv_event_log_message &message)
{
    const QString text = QString::fromUtf8(message.text).trimmed();
    const char *prefix = message.prefix;
    switch (message.log_level) {
    case MPV_LOG_LEVEL_FATAL:
        qCCritical(lcPlayer, "mpv %s: %s", prefix, qUtf8Printable(text));
        break;
    case MPV_LOG_LEVEL_ERROR:
    case MPV_LOG_LEVEL_WARN:
        qCWarning(lcPlayer, "mpv %s: %s", prefix, qUtf8Printable(text));
        break;
    case MPV_LOG_LEVEL_INFO:
        qCInfo(lcPlayer, "mpv %s: %s", prefix, qUtf8Printable(text));
        break;
    default:
        qCDebug(lcPlayer, "mpv %s: %s", prefix, qUtf8Printable(text));
        break;
    }
}

void MpvCore::setProperty(const char *name, const QVariant &value, quint64 replyId) const
{
    switch (value.typeId()) {
    case QMetaType::Bool: {
        int flag = value.toBool() ? 1 : 0;
        mpvLibrary().set_property_async(m_handle, replyId, name, MPV_FORMAT_FLAG, &flag);
        break;
    }
    case QMetaType::Int:
    case QMetaType::LongLong: {
        int64_t number = value.toLongLong();
        mpvLibrary().set_property_async(m_handle, replyId, name, MPV_FORMAT_INT64, &number);
        break;
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        double number = value.toDouble();
        mpvLibrary().set_property_async(m_handle, replyId, name, MPV_FORMAT_DOUBLE, &number);
        break;
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        const char *data = text.constData();
        mpvLibrary().set_property_async(m_handle, replyId, name, MPV_FORMAT_STRING, &data);
        break;
    }
    }
}

QVariant MpvCore::property(const char *name) const
{
    mpv_node node;
    if (mpvLibrary().get_property(m_handle, name, MPV_FORMAT_NODE, &node) < 0)
        return {};
    QVariant value = mpvNodeToVariant(&node);
    mpvLibrary().free_node_contents(&node);
    return value;
}

void MpvCore::commandAsync(const QStringList &args, quint64 replyId) const
{
    std::vector<QByteArray> storage;
    storage.reserve(args.size());
    std::vector<const char *> pointers;
    for (const QString &arg : args) {
        storage.push_back(arg.toUtf8());
        pointers.push_back(storage.back().constData());
    }
    pointers.push_back(nullptr);
    mpvLibrary().command_async(m_handle, replyId, pointers.data());
}

QVariant mpvNodeToVariant(const mpv_node *node)
{
    switch (node->format) {
    case MPV_FORMAT_STRING:
        return QString::fromUtf8(node->u.string);
    case MPV_FORMAT_FLAG:
        return node->u.flag != 0;
    case MPV_FORMAT_INT64:
        return static_cast<qlonglong>(node->u.int64);
    case MPV_FORMAT_DOUBLE:
        return node->u.double_;
    case MPV_FORMAT_NODE_ARRAY: {
        QVariantList list;
        for (int i = 0; i < node->u.list->num; ++i)
            list.append(mpvNodeToVariant(&node->u.list->values[i]));
        return list;
    }
    case MPV_FORMAT_NODE_MAP: {
        QVariantMap map;
        for (int i = 0; i < node->u.list->num; ++i)
            map.insert(QString::fromUtf8(node->u.list->keys[i]),
                mpvNodeToVariant(&node->u.list->values[i]));
        return map;
    }
    default:
        return {};
    }
}

} // namespace orvella
