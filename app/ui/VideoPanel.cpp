#include "ui/VideoPanel.h"

#include <QPainter>

#include <cstring>

namespace encoderdesk {

VideoPanel::VideoPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName("PreviewPanel");
    setFixedSize(320, 240);
    setAttribute(Qt::WA_OpaquePaintEvent);
    handle_ = QuvoWindowCreate(nullptr, &VideoPanel::OnFrame, this);
    QuvoWindowSetClientSize(handle_, 320, 240);
}

VideoPanel::~VideoPanel()
{
    // After this no frame callback runs, so nothing touches the panel any more.
    QuvoWindowDestroy(handle_);
}

void VideoPanel::SetCaption(const QString& caption)
{
    caption_ = caption;
    update();
}

void VideoPanel::Clear()
{
    {
        std::lock_guard lock(swapLock_);
        ready_ = QImage();
        fresh_ = false;
    }
    front_ = QImage();
    update();
}

void VideoPanel::OnFrame(QUVO_WINDOW, const uint8_t* bgra, int32_t width, int32_t height, int32_t stride,
                           int32_t destLeft, int32_t destTop, int32_t destWidth, int32_t destHeight, void* context)
{
    static_cast<VideoPanel*>(context)->Receive(bgra, width, height, stride,
                                                 QRect(destLeft, destTop, destWidth, destHeight));
}

void VideoPanel::Receive(const uint8_t* bgra, int width, int height, int stride, const QRect& dest)
{
    if (!bgra || width <= 0 || height <= 0 || stride < width * 4) return;
    received_.fetch_add(1);
    if (back_.width() != width || back_.height() != height) back_ = QImage(width, height, QImage::Format_RGB32);
    if (back_.isNull()) return;
    // Format_RGB32 is 0xffRRGGBB per pixel: in memory blue, green, red, unused, as given.
    for (int y = 0; y < height; ++y)
        std::memcpy(back_.scanLine(y), bgra + static_cast<std::ptrdiff_t>(y) * stride, static_cast<std::size_t>(width) * 4);
    backDest_ = dest;
    {
        std::lock_guard lock(swapLock_);
        ready_.swap(back_);
        std::swap(readyDest_, backDest_);
        fresh_ = true;
    }
    // One repaint request at a time; the GUI thread takes the newest picture then.
    if (!repaintPosted_.exchange(true))
        QMetaObject::invokeMethod(this, [this] {
            repaintPosted_.store(false);
            update();
        }, Qt::QueuedConnection);
}

void VideoPanel::paintEvent(QPaintEvent*)
{
    {
        std::lock_guard lock(swapLock_);
        if (fresh_) {
            front_.swap(ready_);
            std::swap(frontDest_, readyDest_);
            fresh_ = false;
            painted_.fetch_add(1);
        }
    }
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!front_.isNull()) painter.drawImage(frontDest_.isEmpty() ? rect() : frontDest_, front_);
    if (!caption_.isEmpty()) {
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, caption_);
    }
}

}  // namespace encoderdesk
