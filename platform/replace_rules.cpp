#include "platform/replace_rules.h"

namespace lanqi::platform {

std::string tempPrefix(const std::string& fileName) {
    return "." + fileName + ".";
}

bool isTempName(const std::string& name, const std::string& prefix) {
    if (name.size() != prefix.size() + kTempRandomLength || !name.starts_with(prefix)) return false;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        char c = name[i];
        bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alnum) return false;
    }
    return true;
}

std::string readOnlyRefusal() {
    return "文件是只读的，请先取消它的只读属性";
}

std::string hardLinkRefusal(std::uint64_t links) {
    return "文件有 " + std::to_string(links) +
           " 个硬链接，替换它会让其他链接仍是旧的内容；请改用复制的文件或符号链接";
}

} // namespace lanqi::platform
