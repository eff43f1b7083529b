#include "platform/qt_scheduler.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

namespace quillhaven {

namespace {

class QtRepeatingTimer : public RepeatingTimer {};

}  // namespace

QtScheduler::QtScheduler(QThreadPool* pool)
    : context_(std::make_unique<QObject>()), pool_(pool ? pool : QThreadPool::globalInstance()) {}

QtScheduler::~QtScheduler() = default;

void QtScheduler::post(Task task) {
    // A queued call on the context object: it runs on the context's thread on a later
    // turn of its loop, and Qt drops it if the context is destroyed first.
    QMetaObject::invokeMethod(
        context_.get(), [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

void QtScheduler::postAfter(Duration delay, Task task) {
    QObject* context = context_.get();
    auto arm = [context, delay, task = std::move(task)]() mutable {
        QTimer::singleShot(delay, context, [task = std::move(task)] { task(); });
    };
    // A timer belongs to the thread that starts it, so arm it on the main thread.
    if (QThread::currentThread() == context->thread()) {
        arm();
    } else {
        QMetaObject::invokeMethod(context, std::move(arm), Qt::QueuedConnection);
    }
}

std::shared_ptr<RepeatingTimer> QtScheduler::scheduleRepeating(Duration interval, Task tick) {
    auto* timer = new QTimer(context_.get());
    timer->setInterval(interval);
    QObject::connect(timer, &QTimer::timeout, context_.get(), [tick = std::move(tick)] { tick(); });
    timer->start();
    return std::make_shared<QtRepeatingTimer>();
}

void QtScheduler::runInBackground(Task task) {
    pool_->start(std::move(task));
}

}  // namespace quillhaven
