#pragma once

#include <QDialog>
#include <QSize>
#include <QString>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace fc {

// "Каpтинка": chooses a picture file (bitmap, icon, SVG drawing or another common image
// type) and shows it before it is inserted. The picture is kept as the file's bytes, with
// its own size in pixels.
class PictureDialog : public QDialog {
    Q_OBJECT
public:
    explicit PictureDialog(QWidget* parent = nullptr);

    // Reads and shows the file; false (and nothing chosen) when it holds no picture.
    bool load(const QString& path);
    const std::string& bytes() const { return bytes_; }
    QSize pictureSize() const { return size_; }
    QString path() const;

    // The picture in a file: its bytes and size; false when the file cannot be read or
    // holds no picture Qt can draw.
    static bool readPicture(const QString& path, std::string& bytes, QSize& size);
    // The open dialog's filter, Windows style.
    static const char* fileFilter();

private:
    void browse();
    void showPreview();

    QLineEdit* file_;
    QLabel* preview_;
    QLabel* info_;
    QPushButton* ok_;
    std::string bytes_;
    QSize size_;
};

} // namespace fc
