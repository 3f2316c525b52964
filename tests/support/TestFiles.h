#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

// A file's bytes, "<none>" when there is no file to read (so a missing file never compares
// equal to an empty one).
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

// A file of the test data folder, by its path there ("streams/real.txt").
inline QByteArray testData(const QString &path)
{
    return readFile(QStringLiteral(NRV508_TEST_DATA "/") + path);
}

// Writes bytes; false when they could not all be written.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The path of a file just written with these bytes, empty when it could not be written.
inline QString writtenFile(const QString &path, const QByteArray &bytes)
{
    return writeFile(path, bytes) ? path : QString();
}

// A finished program: its exit code (-1 when it crashed or never ended), stdout and stderr.
struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// env: "NAME=value" pairs over the test's own environment; stdoutFile: where stdout goes
// instead of being read ("/dev/full", a file).
inline Run runProgram(const QString &program, const QStringList &args, const QStringList &env = {},
                      const QString &stdoutFile = {}, int timeoutMs = 120000)
{
    QProcess p;
    if (!env.isEmpty()) {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const QString &pair : env)
            e.insert(pair.section('=', 0, 0), pair.section('=', 1));
        p.setProcessEnvironment(e);
    }
    if (!stdoutFile.isEmpty()) p.setStandardOutputFile(stdoutFile);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {-1, p.readAllStandardOutput(), p.readAllStandardError()};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

#ifdef NRV508_CLI
// nrv508-cli with these arguments.
inline Run cli(const QStringList &args, const QStringList &env = {}, const QString &stdoutFile = {})
{
    return runProgram(QStringLiteral(NRV508_CLI), args, env, stdoutFile);
}
#endif
