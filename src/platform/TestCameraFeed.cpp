#include "platform/TestCameraFeed.h"

#include "platform/CameraSource.h"
#include "platform/MediaClock.h"
#include "platform/MicrophoneSource.h"
#include "platform/PersonSegmenter.h"

#include <chrono>
#include <cmath>
#include <numbers>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

namespace orvella {

namespace {

constexpr double pi = std::numbers::pi;
constexpr auto frameInterval = std::chrono::microseconds(1'000'000 / 30);

// Where the figure stands at a moment: it sways from side to side and nods a little.
struct Pose
{
    double x;
    double headY;
};

Pose poseAt(qint64 timeUs)
{
    const double t = static_cast<double>(timeUs) / 1e6;
    return { 640 + 110 * std::sin(2 * pi * t / 5.0), 300 + 6 * std::sin(2 * pi * t / 1.7) };
}

// The figure's outline parts, in picture pixels: shoulders and chest, neck, head with hair.
std::vector<cv::Point> torso(const Pose &pose)
{
    const double x = pose.x;
    const double top = pose.headY + 150;
    std::vector<cv::Point> points;
    const double half[] = { 240, 232, 222, 205, 175, 130, 70 };
    const double rise[] = { 720, 640, 580, top + 60, top + 22, top + 4, top - 4 };
    for (int i = 0; i < 7; ++i)
        points.emplace_back(cv::Point(int(x - half[i]), int(rise[i])));
    for (int i = 6; i >= 0; --i)
        points.emplace_back(cv::Point(int(x + half[i]), int(rise[i])));
    return points;
}

void drawFigure(cv::Mat &target, const Pose &pose, double scale, bool mask)
{
    const auto colour = [mask](cv::Scalar c) { return mask ? cv::Scalar(1.0) : c; };
    const auto at = [scale](double x, double y) {
        return cv::Point(int(std::lround(x * scale)), int(std::lround(y * scale)));
    };
    const auto size = [scale](double w, double h) {
        return cv::Size(int(std::lround(w * scale)), int(std::lround(h * scale)));
    };
    const cv::Scalar skin(140, 172, 214, 255);
    std::vector<cv::Point> body;
    for (const cv::Point &p : torso(pose))
        body.push_back(at(p.x, p.y));
    cv::fillPoly(target, std::vector<std::vector<cv::Point>> { body },
        colour(cv::Scalar(112, 78, 44, 255)), cv::LINE_AA);
    cv::rectangle(target, at(pose.x - 38, pose.headY + 60), at(pose.x + 38, pose.headY + 150),
        colour(skin), cv::FILLED, cv::LINE_AA);
    cv::ellipse(target, at(pose.x - 70, pose.headY + 5), size(14, 24), 0, 0, 360, colour(skin),
        cv::FILLED, cv::LINE_AA);
    cv::ellipse(target, at(pose.x + 70, pose.headY + 5), size(14, 24), 0, 0, 360, colour(skin),
        cv::FILLED, cv::LINE_AA);
    cv::ellipse(target, at(pose.x, pose.headY), size(72, 92), 0, 0, 360, colour(skin), cv::FILLED,
        cv::LINE_AA);
    cv::ellipse(target, at(pose.x, pose.headY - 22), size(78, 80), 0, 180, 360,
        colour(cv::Scalar(34, 44, 62, 255)), cv::FILLED, cv::LINE_AA);
    if (mask)
        return;
    // A face and a collar, so the figure reads as a person.
    const cv::Scalar dark(40, 40, 50, 255);
    for (int side = -1; side <= 1; side += 2) {
        cv::ellipse(target, at(pose.x + side * 26, pose.headY - 2), size(9, 6), 0, 0, 360, dark,
            cv::FILLED, cv::LINE_AA);
        cv::line(target, at(pose.x + side * 14, pose.headY - 20),
            at(pose.x + side * 40, pose.headY - 22), cv::Scalar(34, 44, 62, 255),
            std::max(1, int(4 * scale)), cv::LINE_AA);
    }
    cv::ellipse(target, at(pose.x, pose.headY + 42), size(20, 8), 0, 10, 170,
        cv::Scalar(70, 70, 150, 255), std::max(1, int(4 * scale)), cv::LINE_AA);
    std::vector<cv::Point> collar { at(pose.x - 44, pose.headY + 146), at(pose.x, pose.headY + 206),
        at(pose.x + 44, pose.headY + 146) };
    cv::fillPoly(target, std::vector<std::vector<cv::Point>> { collar },
        cv::Scalar(200, 200, 205, 255), cv::LINE_AA);
}

// The room behind the figure: a wall, a window, a shelf of books and a plant.
const cv::Mat &room()
{
    static const cv::Mat picture = [] {
        cv::Mat wall(TestCameraFeed::height, TestCameraFeed::width, CV_8UC4);
        for (int y = 0; y < wall.rows; ++y)
            wall.row(y).setTo(cv::Scalar(150 - y / 16, 170 - y / 14, 188 - y / 12, 255));
        cv::rectangle(
            wall, cv::Rect(0, 590, wall.cols, 130), cv::Scalar(60, 80, 110, 255), cv::FILLED);
        cv::rectangle(wall, cv::Rect(70, 90, 260, 330), cv::Scalar(235, 225, 215, 255), cv::FILLED);
        cv::rectangle(
            wall, cv::Rect(86, 106, 228, 298), cv::Scalar(232, 196, 150, 255), cv::FILLED);
        cv::line(
            wall, cv::Point(200, 106), cv::Point(200, 404), cv::Scalar(235, 225, 215, 255), 10);
        cv::line(wall, cv::Point(86, 255), cv::Point(314, 255), cv::Scalar(235, 225, 215, 255), 10);
        cv::rectangle(wall, cv::Rect(960, 140, 260, 420), cv::Scalar(50, 80, 120, 255), cv::FILLED);
        const cv::Scalar books[] = { { 60, 60, 170, 255 }, { 150, 110, 40, 255 },
            { 60, 150, 90, 255 }, { 40, 170, 210, 255 }, { 140, 60, 110, 255 } };
        for (int shelf = 0; shelf < 3; ++shelf) {
            const int base = 270 + shelf * 130;
            cv::rectangle(
                wall, cv::Rect(960, base, 260, 12), cv::Scalar(40, 60, 90, 255), cv::FILLED);
            for (int i = 0; i < 9; ++i)
                cv::rectangle(wall,
                    cv::Rect(975 + i * 26, base - 90 + (i * 7) % 20, 22, 90 - (i * 7) % 20),
                    books[(i + shelf) % 5], cv::FILLED);
        }
        cv::rectangle(wall, cv::Rect(420, 520, 70, 80), cv::Scalar(60, 90, 160, 255), cv::FILLED);
        cv::circle(
            wall, cv::Point(455, 480), 60, cv::Scalar(70, 140, 70, 255), cv::FILLED, cv::LINE_AA);
        return wall;
    }();
    return picture;
}

} // namespace

TestCameraFeed::TestCameraFeed(SyntheticCameraSource &camera, SyntheticMicrophoneSource &microphone,
    const MediaClock &clock, SyntheticPersonSegmenter *segmenter)
    : m_camera(camera)
    , m_microphone(microphone)
    , m_clock(clock)
    , m_segmenter(segmenter)
    , m_thread([this] { run(); })
{ }

TestCameraFeed::~TestCameraFeed()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

cv::Mat TestCameraFeed::pictureAt(qint64 timeUs)
{
    cv::Mat picture = room().clone();
    drawFigure(picture, poseAt(timeUs), 1.0, false);
    return picture;
}

cv::Mat TestCameraFeed::maskAt(qint64 timeUs, cv::Size size)
{
    cv::Mat mask(size, CV_32F, cv::Scalar(0.0));
    drawFigure(mask, poseAt(timeUs), double(size.width) / width, true);
    return mask;
}

void TestCameraFeed::run()
{
    auto due = std::chrono::steady_clock::now();
    std::unique_lock lock(m_mutex);
    while (!m_wake.wait_until(lock, due, [this] { return m_stopping; })) {
        lock.unlock();
        const qint64 now = m_clock.nowMicroseconds();
        if (m_camera.isRunning()) {
            // The mask first, so the segmenter knows the figure when its picture arrives; a
            // mirroring camera turns the figure round, and the mask with it.
            if (m_segmenter) {
                cv::Mat mask = maskAt(now);
                if (m_camera.mirrored())
                    cv::flip(mask, mask, 1);
                m_segmenter->setMask(std::move(mask));
            }
            m_camera.push(pictureAt(now), now);
        }
        deliverSound(now);
        lock.lock();
        due += frameInterval;
        // After a stall, carry on from now rather than catching up in a burst.
        if (due < std::chrono::steady_clock::now())
            due = std::chrono::steady_clock::now() + frameInterval;
    }
}

void TestCameraFeed::deliverSound(qint64 nowUs)
{
    const qint64 last = nowUs * sampleRate / 1'000'000;
    if (!m_microphone.isRunning() || m_nextSample < 0 || last - m_nextSample > sampleRate) {
        m_nextSample = last;
        return;
    }
    AudioChunk chunk;
    chunk.sampleRate = sampleRate;
    chunk.timeUs = m_nextSample * 1'000'000 / sampleRate;
    for (qint64 i = m_nextSample; i < last; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        // A quiet tone that swells and fades twice a second, like a voice.
        chunk.samples.push_back(static_cast<float>(
            0.06 * std::sin(2 * pi * 220 * t) * (0.6 + 0.4 * std::sin(2 * pi * 2 * t))));
    }
    m_nextSample = last;
    if (!chunk.samples.empty())
        m_microphone.push(std::move(chunk));
}

} // namespace orvella
