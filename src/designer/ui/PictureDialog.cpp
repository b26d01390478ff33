#include "designer/ui/PictureDialog.h"

#include "components/platform/ui/DialogButtons.h"
#include "components/platform/ui/FileDialogFilter.h"
#include "components/text/Cp1251.h"

#include <QBuffer>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace fc {

namespace {

// Pictures larger than this are refused: a sheet is no place for a poster, and the file's
// object block grows with every byte.
constexpr qint64 kMaxPictureBytes = 16 * 1024 * 1024;
constexpr int kPreview = 220;

QImage decode(const std::string& bytes, QSize scaled = {}) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buf(&data);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf);
    if (scaled.isValid()) {
        reader.setScaledSize(scaled);
    }
    return reader.read();
}

} // namespace

const char* PictureDialog::fileFilter() {
    return "Все картинки|*.bmp;*.dib;*.ico;*.svg;*.png;*.jpg;*.jpeg;*.gif|"
           "Точечные рисунки (*.bmp)|*.bmp;*.dib|Значки (*.ico)|*.ico|"
           "Рисунки SVG (*.svg)|*.svg|PNG, JPEG, GIF|*.png;*.jpg;*.jpeg;*.gif|Все файлы|*.*";
}

bool PictureDialog::readPicture(const QString& path, std::string& bytes, QSize& size) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() <= 0 || f.size() > kMaxPictureBytes) {
        return false;
    }
    const QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        return false;
    }
    std::string got(data.constData(), static_cast<std::size_t>(data.size()));
    QBuffer buf;
    buf.setData(data);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf);
    QSize s = reader.size();
    const QImage img = reader.read();
    if (img.isNull()) {
        return false;
    }
    if (!s.isValid() || s.isEmpty()) {
        s = img.size();
    }
    bytes = std::move(got);
    size = s;
    return true;
}

PictureDialog::PictureDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PictureDialog"));
    setWindowTitle(cp1251::toQString(w("Каpтинка")));
    auto* grid = new QGridLayout(this);
    file_ = new QLineEdit(this);
    file_->setObjectName(QStringLiteral("pictureFile"));
    auto* browseButton = new QPushButton(QStringLiteral("Обзор..."), this);
    browseButton->setObjectName(QStringLiteral("pictureBrowse"));
    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("picturePreview"));
    preview_->setFixedSize(kPreview, kPreview * 3 / 4);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setFrameShape(QFrame::StyledPanel);
    info_ = new QLabel(this);
    info_->setObjectName(QStringLiteral("pictureInfo"));
    QDialogButtonBox* buttons = okCancelButtons(this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setEnabled(false);
    grid->addWidget(file_, 0, 0);
    grid->addWidget(browseButton, 0, 1);
    grid->addWidget(preview_, 1, 0, 1, 2, Qt::AlignCenter);
    grid->addWidget(info_, 2, 0, 1, 2);
    grid->addWidget(buttons, 3, 0, 1, 2);
    connect(browseButton, &QPushButton::clicked, this, [this] { browse(); });
    connect(file_, &QLineEdit::editingFinished, this, [this] {
        if (file_->text() != path()) {
            load(file_->text());
        }
    });
}

QString PictureDialog::path() const { return property("picturePath").toString(); }

bool PictureDialog::load(const QString& path) {
    file_->setText(path);
    std::string bytes;
    QSize size;
    const bool ok = readPicture(path, bytes, size);
    bytes_ = ok ? std::move(bytes) : std::string();
    size_ = ok ? size : QSize();
    setProperty("picturePath", ok ? path : QString());
    showPreview();
    return ok;
}

void PictureDialog::showPreview() {
    ok_->setEnabled(!bytes_.empty());
    if (bytes_.empty()) {
        preview_->setPixmap(QPixmap());
        info_->setText(file_->text().isEmpty() ? QString() : QStringLiteral("Нет картинки"));
        return;
    }
    QSize fit = size_.scaled(preview_->size(), Qt::KeepAspectRatio);
    if (size_.width() <= preview_->width() && size_.height() <= preview_->height()) {
        fit = size_;
    }
    const QImage img = decode(bytes_, fit);
    preview_->setPixmap(QPixmap::fromImage(
        img.size() == fit ? img : img.scaled(fit, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    info_->setText(QStringLiteral("%1 × %2").arg(size_.width()).arg(size_.height()));
}

void PictureDialog::browse() {
    const QString start = path().isEmpty() ? QString() : QFileInfo(path()).absolutePath();
    const QString chosen =
        QFileDialog::getOpenFileName(this, windowTitle(), start, dialogFilter(fileFilter()));
    if (!chosen.isEmpty()) {
        load(chosen);
    }
}

} // namespace fc
