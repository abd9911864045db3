// The 320 x 240 panel the SDK paints preview and playback pictures into. It owns
// a handle of the platform's window table whose frame callback receives each
// picture on the renderer's thread: the picture is copied into a buffer of the
// panel's, and the GUI thread is asked to repaint. The renderer's thread never
// waits for the GUI (buffers are swapped under a lock held only for the swap) and
// never touches a widget; a slow repaint drops pictures instead of holding the
// stream.
#pragma once

#include <QImage>
#include <QWidget>

#include <atomic>
#include <mutex>

#include <quvo/QuvoWindow.h>

namespace encoderdesk {

class VideoPanel : public QWidget {
    Q_OBJECT
public:
    explicit VideoPanel(QWidget* parent = nullptr);
    ~VideoPanel() override;

    // The handle for QuvoSetPreviewWindow.
    QUVO_WINDOW Handle() const { return handle_; }

    // Text shown over the panel ("Предварительный просмотр отключен"), empty for none.
    void SetCaption(const QString& caption);
    QString Caption() const { return caption_; }

    // Forgets the last picture (after a stop the panel is empty again).
    void Clear();

    // Pictures received from the renderer, and those of them that were painted
    // (the others were overtaken by a newer one before the repaint): for tests and
    // the benchmark.
    int FramesReceived() const { return received_.load(); }
    int FramesPainted() const { return painted_.load(); }
    // The picture painted last (GUI thread).
    QImage LastPicture() const { return front_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static void OnFrame(QUVO_WINDOW, const uint8_t* bgra, int32_t width, int32_t height, int32_t stride,
                        int32_t destLeft, int32_t destTop, int32_t destWidth, int32_t destHeight, void* context);
    // Renderer thread.
    void Receive(const uint8_t* bgra, int width, int height, int stride, const QRect& dest);

    QUVO_WINDOW handle_ = nullptr;
    QString caption_;

    // Renderer thread only: the picture being copied.
    QImage back_;
    QRect backDest_;
    // Both threads, under swapLock_: the newest complete picture and its place.
    std::mutex swapLock_;
    QImage ready_;
    QRect readyDest_;
    bool fresh_ = false;
    // GUI thread only: the picture on screen.
    QImage front_;
    QRect frontDest_;

    std::atomic<bool> repaintPosted_{false};
    std::atomic<int> received_{0};
    std::atomic<int> painted_{0};
};

}  // namespace encoderdesk
