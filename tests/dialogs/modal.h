#pragma once
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace sentrel::test {

// Acts on the next modal window once it is shown: a modal exec() blocks the
// test, so the answer is queued before it starts.
inline void whenModal(std::function<void(QWidget *)> act, int attempts = 200)
{
    QTimer::singleShot(5, [act = std::move(act), attempts]() mutable {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->isVisible())
            act(modal);
        else if (attempts > 0)
            whenModal(std::move(act), attempts - 1);
    });
}

} // namespace sentrel::test
