#include "charts/ChartImage.h"

#include "charts/ChartScene.h"
#include "files/SafeWrite.h"

#include <QApplication>
#include <QBuffer>
#include <QChart>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgGenerator>

namespace ChartImage {

QStringList formats()
{
    return {QStringLiteral("png"), QStringLiteral("svg"), QStringLiteral("pdf")};
}

QString formatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return formats().contains(suffix) ? suffix : QString();
}

QSize parseSize(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return QSize();
    const QSize size(m.captured(1).toInt(), m.captured(2).toInt());
    const auto fits = [](int side) { return side >= kMinSide && side <= kMaxSide; };
    return fits(size.width()) && fits(size.height()) ? size : QSize();
}

namespace {
// The drawing of the whole chart into a painter's device of the size.
void draw(QGraphicsScene &scene, QPainter &painter, const QSize &size)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    scene.render(&painter, QRectF(QPointF(0, 0), size), QRectF(QPointF(0, 0), size));
}

QByteArray render(QGraphicsScene &scene, const QString &format, const QSize &size)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (format == QLatin1String("png")) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        draw(scene, painter, size);
        painter.end();
        image.save(&buffer, "PNG");
    } else if (format == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Data Chart"));
        QPainter painter(&svg);
        draw(scene, painter, size);
    } else {
        QPdfWriter pdf(&buffer);
        // One page the size of the picture, at screen resolution, without margins.
        pdf.setResolution(96);
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / 96.0, QPageSize::Point, QString(),
                                  QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(QStringLiteral("Data Chart"));
        QPainter painter(&pdf);
        const double scale = painter.device()->width() / double(size.width());
        painter.scale(scale, scale);
        draw(scene, painter, size);
    }
    return buffer.data();
}
} // namespace

bool save(ChartScene &chartScene, const QString &path, const QSize &size, QString *error)
{
    const QString format = formatOf(path);
    if (format.isEmpty()) {
        *error = QStringLiteral("Cannot save the chart as \"%1\": the name must end in .png, "
                                ".svg or .pdf.")
                     .arg(path);
        return false;
    }
    if (size.width() < kMinSide || size.height() < kMinSide || size.width() > kMaxSide ||
        size.height() > kMaxSide) {
        *error = QStringLiteral("Cannot save the chart as \"%1\": a side of %2x%3 is not "
                                "between %4 and %5 pixels.")
                     .arg(path)
                     .arg(size.width())
                     .arg(size.height())
                     .arg(kMinSide)
                     .arg(kMaxSide);
        return false;
    }
    QChart *chart = chartScene.chart();
    QGraphicsScene scene;
    scene.addItem(chart);
    scene.setSceneRect(QRectF(QPointF(0, 0), size));
    chart->setGeometry(QRectF(QPointF(0, 0), size));
    // The layout runs on the next event; the picture needs it now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QByteArray bytes = render(scene, format, size);
    scene.removeItem(chart);
    if (bytes.isEmpty()) {
        *error = QStringLiteral("Cannot save the chart as \"%1\": drawing it failed.").arg(path);
        return false;
    }
    return writeWholeFile(path, bytes, error);
}

QCoreApplication *makeApplication(int &argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
}

} // namespace ChartImage
