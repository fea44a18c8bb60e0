#pragma once

// The quillet program run as a script runs it: its own process, standard
// output and error captured, no terminal.

#include <QProcess>
#include <QStringList>

#include <string>
#include <vector>

namespace clitest {

struct Run {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline Run quillet(const std::vector<std::string>& args)
{
    QStringList list;
    for (const std::string& a : args) list << QString::fromStdString(a);
    QProcess process;
    process.start(QStringLiteral(QUILLET_CLI), list);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
}

// The lines of a program's output.
inline std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> all;
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        all.push_back(text.substr(start, end - start));
    }
    return all;
}

} // namespace clitest
