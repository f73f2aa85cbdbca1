// Decoding a 3840x2160 JPEG for a 300-pixel thumbnail: the image path (scaled while decoding)
// against a full decode followed by scaling. Run both in one process and compare.
#include "support/Fixtures.h"
#include "ui/ImageDecoder.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <benchmark/benchmark.h>

namespace {

// The 3840x2160 poster the service double serves.
const QByteArray &poster4k()
{
    static const QByteArray bytes = [] {
        QFile file(orvella::test::fixturePath(QStringLiteral("images/poster-4k.jpg")));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("the media fixtures are missing: build the tests first");
        return file.readAll();
    }();
    return bytes;
}

void BM_DecodeAtTargetSize(benchmark::State &state)
{
    const QByteArray &data = poster4k();
    qint64 bytes = 0;
    for (auto _ : state) {
        const QImage image = orvella::ImageDecoder::downsample(data, 300);
        bytes = image.sizeInBytes();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["cached_bytes"] = double(bytes);
}

void BM_FullDecodeThenScale(benchmark::State &state)
{
    const QByteArray &data = poster4k();
    qint64 bytes = 0;
    qint64 peak = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setAutoTransform(true);
        const QImage full = reader.read();
        peak = full.sizeInBytes();
        const QImage image = full.scaled(300, 300, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        bytes = image.sizeInBytes();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["cached_bytes"] = double(bytes);
    state.counters["full_decode_bytes"] = double(peak);
}

BENCHMARK(BM_DecodeAtTargetSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullDecodeThenScale)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    poster4k();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
