#include "gui/QtDispatcher.h"

#include <QCoreApplication>
#include <QThread>
#include <exception>

namespace vc::gui {

TQtDispatcher::TQtDispatcher() = default;

TQtDispatcher::~TQtDispatcher() = default;

bool TQtDispatcher::isUiThread() const { return QThread::currentThread() == FReceiver.thread(); }

void TQtDispatcher::invokeSync(const std::function<void()>& fn) {
  if (isUiThread()) {
    fn();
    return;
  }
  std::exception_ptr error;
  QMetaObject::invokeMethod(
      &FReceiver,
      [&] {
        try {
          fn();
        } catch (...) {
          error = std::current_exception();
        }
      },
      Qt::BlockingQueuedConnection);
  if (error) std::rethrow_exception(error);
}

void TQtDispatcher::processMessages() {
  if (isUiThread()) QCoreApplication::sendPostedEvents(&FReceiver, QEvent::MetaCall);
}

}  // namespace vc::gui
