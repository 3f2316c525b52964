#include "link/frmHeader.h"

#include "link/HeaderWriter.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {
struct LineNames {
    const char *label;
    const char *labelText;
    const char *input;
    const char *result;
    const char *ok;
};
const LineNames kLines[2] = {
    {"Label1", "Line1 :", "Text1", "Text3", "cmdPRAdd"},
    {"Label2", "Line2 :", "Text2", "Text4", "cmdPRPhone"},
};

// Fixed pitch, so the centring shows as the instrument's printer will print it.
QLineEdit *textBox(const char *name, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('M')) *
                             (HeaderWriter::kLineWidth + 2) +
                         12);
    return box;
}
} // namespace

frmHeader::frmHeader(HeaderWriter &writer, QWidget *parent) : QDialog(parent), m_writer(writer)
{
    setObjectName(QStringLiteral("frmHeader"));
    setWindowTitle(QStringLiteral("Printer Header"));
    setModal(true);

    auto *endWrite = new QPushButton(QStringLiteral("End Write"), this);
    endWrite->setObjectName(QStringLiteral("cmdWrite"));
    endWrite->setAutoDefault(false);
    connect(endWrite, &QPushButton::clicked, this, &frmHeader::endWrite);

    m_endWrite = endWrite;

    // Said only while a line confirmed with "OK" still goes out before the window closes.
    auto *note = new QLabel(QStringLiteral("Sending the waiting line . . ."), this);
    note->setObjectName(QStringLiteral("waitNote"));
    note->hide();
    m_waitNote = note;

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(note);
    bottom->addStretch();
    bottom->addWidget(endWrite);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lineFrame(1, "SSFrame1", QStringLiteral("Printer Address Writer ")));
    layout->addWidget(lineFrame(2, "SSFrame2", QStringLiteral("Printer Phone No. Writer")));
    layout->addStretch();
    layout->addLayout(bottom);

    setTabOrder(m_input[0], m_ok[0]);
    setTabOrder(m_ok[0], m_input[1]);
    setTabOrder(m_input[1], m_ok[1]);
    setTabOrder(m_ok[1], endWrite);

    connect(&m_writer, &HeaderWriter::changed, this, &frmHeader::render);
    connect(&m_writer, &HeaderWriter::ended, this, [this] { done(m_leaveResult); });
    render();
    m_input[0]->setFocus();
}

QWidget *frmHeader::lineFrame(int line, const char *frameName, const QString &caption)
{
    const LineNames &names = kLines[line - 1];
    auto *frame = new QGroupBox(caption, this);
    frame->setObjectName(QString::fromLatin1(frameName));

    auto *label = new QLabel(QString::fromLatin1(names.labelText), frame);
    label->setObjectName(QString::fromLatin1(names.label));

    // The instrument's printer prints ASCII: anything else is refused as it is typed.
    QLineEdit *input = textBox(names.input, frame);
    input->setMaxLength(HeaderWriter::kLineWidth);
    input->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[ -~]*")), input));
    label->setBuddy(input);

    QLineEdit *result = textBox(names.result, frame);
    result->setReadOnly(true);
    result->setFocusPolicy(Qt::ClickFocus);

    auto *button = new QPushButton(QStringLiteral("OK"), frame);
    button->setObjectName(QString::fromLatin1(names.ok));
    // Return in an input box writes that box's line once: no button of the window is its
    // default, which would take the same key press a second time.
    button->setAutoDefault(false);

    connect(input, &QLineEdit::textEdited, this,
            [this, line](const QString &text) { m_writer.setInput(line, text); });
    connect(input, &QLineEdit::returnPressed, button, &QPushButton::click);
    connect(button, &QPushButton::clicked, this, [this, line] { ok(line); });

    auto *grid = new QGridLayout(frame);
    grid->addWidget(label, 0, 0);
    grid->addWidget(input, 0, 1);
    grid->addWidget(button, 0, 2);
    grid->addWidget(result, 1, 1);
    grid->setColumnStretch(1, 1);

    m_input[line - 1] = input;
    m_result[line - 1] = result;
    m_ok[line - 1] = button;
    return frame;
}

void frmHeader::render()
{
    const HeaderTexts &t = m_writer.texts();
    const QString inputs[2] = {t.Text1, t.Text2};
    const QString results[2] = {t.Text3, t.Text4};
    for (int i = 0; i < 2; ++i) {
        // Setting the same text again would move the cursor under the user's typing.
        if (m_input[i]->text() != inputs[i]) m_input[i]->setText(inputs[i]);
        m_result[i]->setText(results[i]);
    }
}

void frmHeader::ok(int line)
{
    if (!m_writer.writeLine(line)) m_input[line - 1]->setFocus();
}

void frmHeader::endWrite()
{
    if (m_writer.ending()) return;
    if (m_writer.endWrite())
        accept();
    else
        waitForQueuedLine(Accepted);
}

void frmHeader::reject()
{
    if (m_writer.ending()) return;
    if (m_writer.closeBox())
        QDialog::reject();
    else
        waitForQueuedLine(Rejected);
}

// The window stays, taking no new line, until the writer has sent and checked the line that
// waited; it then closes as the user asked.
void frmHeader::waitForQueuedLine(int result)
{
    m_leaveResult = result;
    for (int i = 0; i < 2; ++i) {
        m_input[i]->setReadOnly(true);
        m_ok[i]->setEnabled(false);
    }
    m_endWrite->setEnabled(false);
    m_waitNote->show();
}
