#include "biff/encrypted_stream.h"

#include "biff/record_layout.h"
#include "biff/record_stream.h"
#include "biff/records.h"

#include <lanqi/xls/error.h>

#include <algorithm>

namespace lanqi::xls {
namespace {

// Records whose payload is never encrypted.
constexpr std::uint16_t kInTheClear[] = {rec::kBof,      rec::kFilePass,     rec::kUsrExcl,
                                         rec::kFileLock, rec::kInterfaceHdr, rec::kRrdInfo,
                                         rec::kRrdHead};
// BOUNDSHEET's sheet position stays in the clear, the rest is encrypted.
constexpr std::size_t kBoundSheetClear = kBoundSheetPosition + sizeof(std::uint32_t);

// The FILEPASS record of the globals (before their first EOF).
std::optional<RecordRef> findFilePass(const std::vector<RecordRef>& records) {
    for (const RecordRef& r : records) {
        if (r.id == rec::kFilePass) return r;
        if (r.id == rec::kEof) break;
    }
    return std::nullopt;
}

void applyKeyStream(Bytes& stream, const std::vector<RecordRef>& records, const RecordRef& filePass,
                    const WorkbookKey& key) {
    std::uint32_t block = 0;
    Bytes keyStream;
    for (const RecordRef& r : records) {
        if (r.offset <= filePass.offset || std::find(std::begin(kInTheClear), std::end(kInTheClear),
                                                     r.id) != std::end(kInTheClear))
            continue;
        std::size_t at = r.offset + rec::kHeaderSize;
        const std::size_t end = at + r.data.size();
        if (r.id == rec::kBoundSheet) at = std::min(end, at + kBoundSheetClear);
        for (; at < end; ++at) {
            const auto b = static_cast<std::uint32_t>(at / WorkbookKey::kBlockSize);
            if (keyStream.empty() || b != block) {
                block = b;
                keyStream = key.blockKeyStream(block);
            }
            stream[at] ^= keyStream[at % WorkbookKey::kBlockSize];
        }
    }
}

} // namespace

std::optional<WorkbookKey> decryptWorkbookStream(Bytes& stream) {
    const std::vector<RecordRef> records = splitRecords(stream);
    const std::optional<RecordRef> filePass = findFilePass(records);
    if (!filePass) return std::nullopt;
    std::optional<WorkbookKey> key = WorkbookKey::builtIn(filePass->data);
    if (!key) {
        if (xorWithBuiltInPassword(filePass->data))
            throw Error(ErrorKind::Encrypted,
                        "工作簿只设了修改保护，但 Excel 用旧的 XOR 方法把它加密了，本程序不能"
                        "读写这种文件；请在电子表格程序中取消修改保护后另存一次");
        throw Error(ErrorKind::Encrypted,
                    "工作簿设有打开密码（已加密），请在电子表格程序中取消密码后再使用");
    }
    applyKeyStream(stream, records, *filePass, *key);
    return key;
}

void encryptWorkbookStream(Bytes& stream, const WorkbookKey& key) {
    const std::vector<RecordRef> records = splitRecords(stream);
    const std::optional<RecordRef> filePass = findFilePass(records);
    if (!filePass || filePass->data.size() != key.filePass().size())
        throw damaged("加密的工作簿写出时缺少 FILEPASS 记录");
    std::copy(key.filePass().begin(), key.filePass().end(),
              stream.begin() + static_cast<std::ptrdiff_t>(filePass->offset + rec::kHeaderSize));
    applyKeyStream(stream, records, *filePass, key);
}

} // namespace lanqi::xls
