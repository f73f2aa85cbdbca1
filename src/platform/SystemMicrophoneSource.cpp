#include "platform/MediaClock.h"
#include "platform/MicrophoneSource.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QIODevice>
#include <QMediaDevices>
#include <cstring>

namespace orvella {

namespace {

float sampleAt(const char *data, QAudioFormat::SampleFormat format)
{
    switch (format) {
    case QAudioFormat::UInt8:
        return (static_cast<unsigned char>(*data) - 128) / 128.0f;
    case QAudioFormat::Int16: {
        qint16 value;
        std::memcpy(&value, data, sizeof value);
        return value / 32768.0f;
    }
    case QAudioFormat::Int32: {
        qint32 value;
        std::memcpy(&value, data, sizeof value);
        return static_cast<float>(value / 2147483648.0);
    }
    case QAudioFormat::Float: {
        float value;
        std::memcpy(&value, data, sizeof value);
        return value;
    }
    default:
        return 0.0f;
    }
}

class SystemMicrophoneSource final : public MicrophoneSource
{
public:
    explicit SystemMicrophoneSource(const MediaClock &clock)
        : m_clock(clock)
    { }

    ~SystemMicrophoneSource() override { close(); }

    bool open(const QString &deviceId) override
    {
        close();
        const QList<QAudioDevice> devices = QMediaDevices::audioInputs();
        if (devices.isEmpty())
            return false;
        QAudioDevice chosen = devices.first();
        for (const QAudioDevice &device : devices) {
            if (QString::fromUtf8(device.id()) == deviceId)
                chosen = device;
        }
        QAudioFormat format;
        format.setSampleRate(44100);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!chosen.isFormatSupported(format))
            format = chosen.preferredFormat();
        m_format = format;
        m_source = std::make_unique<QAudioSource>(chosen, format);
        return true;
    }

    void close() override
    {
        stop();
        m_source.reset();
    }

    void start() override
    {
        if (!m_source || m_device)
            return;
        m_device = m_source->start();
        if (m_device)
            QObject::connect(m_device, &QIODevice::readyRead, m_source.get(), [this] { read(); });
    }

    void stop() override
    {
        if (m_source)
            m_source->stop();
        m_device = nullptr;
    }

    [[nodiscard]] bool isRunning() const override { return m_device != nullptr; }

private:
    void read()
    {
        if (!m_device)
            return;
        const QByteArray bytes = m_device->readAll();
        const int frameBytes = m_format.bytesPerFrame();
        if (frameBytes <= 0 || bytes.size() < frameBytes)
            return;
        const int frames = bytes.size() / frameBytes;
        const int channels = m_format.channelCount();
        const int sampleBytes = m_format.bytesPerSample();
        AudioChunk chunk;
        chunk.sampleRate = m_format.sampleRate();
        chunk.samples.resize(static_cast<size_t>(frames));
        for (int i = 0; i < frames; ++i) {
            // Mixed down to mono.
            float sum = 0;
            for (int c = 0; c < channels; ++c)
                sum += sampleAt(
                    bytes.constData() + i * frameBytes + c * sampleBytes, m_format.sampleFormat());
            chunk.samples[static_cast<size_t>(i)] = sum / static_cast<float>(channels);
        }
        // The samples just read end now; the first of them was captured their duration earlier.
        chunk.timeUs = m_clock.nowMicroseconds()
            - static_cast<qint64>(frames) * 1'000'000 / chunk.sampleRate;
        deliver(std::move(chunk));
    }

    const MediaClock &m_clock;
    QAudioFormat m_format;
    std::unique_ptr<QAudioSource> m_source;
    QIODevice *m_device = nullptr;
};

} // namespace

std::unique_ptr<MicrophoneSource> makeSystemMicrophoneSource(const MediaClock &clock)
{
    return std::make_unique<SystemMicrophoneSource>(clock);
}

} // namespace orvella
