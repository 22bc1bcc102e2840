#pragma once
#include <QMainWindow>

namespace sentrel {

class TAppForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TAppForm(QWidget *parent = nullptr);
};

} // namespace sentrel
