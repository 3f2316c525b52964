#include "cli/Args.h"

Args Args::parse(const QStringList &args, const QStringList &valueOptions,
                 const QStringList &flagOptions)
{
    Args result;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (valueOptions.contains(arg)) {
            if (i + 1 >= args.size()) {
                result.problem = QStringLiteral("%1 needs a value").arg(arg);
                return result;
            }
            result.options.insert(arg, args[++i]);
        } else if (flagOptions.contains(arg)) {
            result.flags.insert(arg);
        } else if (arg.startsWith(QLatin1String("--"))) {
            result.problem = QStringLiteral("unknown option %1").arg(arg);
            return result;
        } else {
            result.positional << arg;
        }
    }
    return result;
}
