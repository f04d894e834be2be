// Small controls the window needs beyond Qt's own: a button that shows a
// settable colour and wraps its caption, clickable labels, outlined shapes,
// and the linked drive and folder lists.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <cmath>

namespace vz {

// The layout is measured in twips: 1440 to an inch, 15 to a pixel at 96 dpi.
inline constexpr double kTwipsPerPixel = 15;
inline int to_pixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }
inline double to_twips(int pixels) { return pixels * kTwipsPerPixel; }
inline void place(QWidget* control, int left, int top, int width, int height) {
    control->setGeometry(to_pixels(left), to_pixels(top), to_pixels(width), to_pixels(height));
}

// A push button painted in its own background colour, caption word-wrapped.
class ColourButton final : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;
    void set_colour(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A label that works as a link: a click, or Enter or Space while it has the
// focus (Tab reaches it), emits clicked.
class ClickableLabel final : public QLabel {
    Q_OBJECT
public:
    ClickableLabel(const QString& text, QWidget* parent);
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// An outlined rectangle, optionally rounded and filled; sits behind controls.
class ShapeFrame final : public QWidget {
public:
    ShapeFrame(QWidget* parent, QColor border, bool rounded, QColor fill = QColor());

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor border_, fill_;
    bool rounded_;
};

// The folder list: the current folder's ancestors from the root down, then
// its subfolders; activating a row (double-click or Enter) opens it.
class FolderList final : public QListWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent);
    QString folder() const { return folder_; }
    // Shows `path`; emits folder_changed when it differs from the current one.
    // False (nothing changes) when the folder cannot be shown.
    bool set_folder(const QString& path);
signals:
    void folder_changed();

private:
    void fill();
    QString folder_;
};

// The drive list: the mounted volumes, by their root folders.
class DriveList final : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent);
    QString drive() const { return currentData().toString(); }
    // Selects the volume that holds `folder`, without a change event.
    void set_drive_of(const QString& folder);
    static QString drive_of(const QString& folder);
signals:
    void drive_changed();

private:
    void refresh();
};

}  // namespace vz
