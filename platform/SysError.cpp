#include "SysError.h"

#include <cerrno>
#include <cstring>

QString SysErrorMessage(int errorCode)
{
    switch (errorCode) {
    case 0:
        return QStringLiteral("この操作を正しく終了しました");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが拒否されました");
    case ENOENT:
        return QStringLiteral("指定されたファイルまたはディレクトリが見つかりません");
    case ENOTDIR:
        return QStringLiteral("パスの途中にディレクトリでないものがあります");
    case EISDIR:
        return QStringLiteral("指定されたパスはディレクトリです");
    case ENOSPC:
        return QStringLiteral("ディスクに十分な空き領域がありません");
    case EDQUOT:
        return QStringLiteral("ディスク クォータを超えました");
    case EROFS:
        return QStringLiteral("読み取り専用のファイル システムです");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます");
    case EIO:
        return QStringLiteral("入出力エラーが発生しました");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("ファイルは別のプロセスが使用中です");
    case ELOOP:
        return QStringLiteral("シンボリック リンクの階層が深すぎます");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます");
    case EEXIST:
        return QStringLiteral("ファイルは既に存在します");
    case EXDEV:
        return QStringLiteral("別のデバイスにまたがって移動できません");
    case ENOMEM:
        return QStringLiteral("メモリが不足しています");
    case EINVAL:
        return QStringLiteral("パラメーターが間違っています");
    case EAGAIN:
        return QStringLiteral("リソースが一時的に使用できません");
    case EINTR:
        return QStringLiteral("操作が中断されました");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("指定されたデバイスがありません");
    default:
        break;
    }
    // strerror's own table is static in glibc, but go through strerror_r's GNU
    // form anyway so another thread's call cannot overwrite the text.
    char buffer[256] = {};
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
    const char *text = strerror_r(errorCode, buffer, sizeof buffer);
#else
    const char *text = strerror_r(errorCode, buffer, sizeof buffer) == 0 ? buffer : "";
#endif
    QString result = QString::fromLocal8Bit(text);
    while (result.endsWith(QLatin1Char('.')))
        result.chop(1);
    return result;
}
