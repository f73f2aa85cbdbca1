#include "StudioTestRig.h"

#include "support/TestAsync.h"

#include <cmath>
#include <opencv2/imgproc.hpp>

namespace orvella::test {

bool StudioRig::pushFrameAndWait(const cv::Mat &bgra)
{
    const int before = controller->processedFrameCount();
    pushFrame(bgra);
    return waitUntil([&] { return controller->processedFrameCount() > before; });
}

void StudioRig::pushAudioForFrame()
{
    AudioChunk chunk;
    chunk.sampleRate = 44100;
    chunk.timeUs = clock.nowMicroseconds();
    const qint64 first = chunk.timeUs * 44100 / 1'000'000;
    const qint64 last = (chunk.timeUs + frameUs) * 44100 / 1'000'000;
    for (qint64 i = first; i < last; ++i)
        chunk.samples.push_back(static_cast<float>(0.3 * std::sin(2 * M_PI * 440.0 * i / 44100.0)));
    audioSamplesPushed += last - first;
    microphone->push(std::move(chunk));
}

bool StudioRig::startShortRecording()
{
    if (!controller->isSessionRunning() && !startCamera(*controller))
        return false;
    controller->startRecording();
    for (int i = 0; i < 3; ++i) {
        pushAudioForFrame();
        if (!pushFrameAndWait(testPicture()))
            return false;
    }
    return true;
}

bool StudioRig::recordShortMovie()
{
    if (!startShortRecording())
        return false;
    controller->stopRecording();
    using State = StudioCaptureController::State;
    return waitUntil([&] { return controller->state() != State::Processing; })
        && controller->state() == State::Ready;
}

cv::Mat testPicture(int width, int height)
{
    cv::Mat picture(height, width, CV_8UC4, cv::Scalar(40, 50, 60, 255));
    cv::rectangle(picture, cv::Rect(width / 4, height / 4, width / 2, height / 2),
        cv::Scalar(200, 180, 160, 255), cv::FILLED);
    return picture;
}

bool startCamera(StudioCaptureController &controller)
{
    try {
        runTask(controller.requestAccessAndStart());
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace orvella::test
