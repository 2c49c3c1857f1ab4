#include "wlan_profile_xml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <memory>

namespace netsh {
namespace {

constexpr const char* kProfileNamespace = "http://www.microsoft.com/networking/WLAN/profile/v1";

bool Is(const xmlNode* node, const char* name) {
  return node && node->type == XML_ELEMENT_NODE && node->ns &&
         std::strcmp(reinterpret_cast<const char*>(node->ns->href), kProfileNamespace) == 0 &&
         std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

const xmlNode* Child(const xmlNode* parent, const char* name) {
  for (const xmlNode* child = parent->children; child; child = child->next) {
    if (Is(child, name)) return child;
  }
  return nullptr;
}

std::string Text(const xmlNode* node) {
  std::unique_ptr<xmlChar, decltype(xmlFree)> content(xmlNodeGetContent(node), xmlFree);
  return content ? reinterpret_cast<const char*>(content.get()) : "";
}

}  // namespace

std::optional<ProfileInfo> ReadProfile(const std::string& document) {
  // No network access, no messages on the console, no entity expansion.
  int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
      xmlReadMemory(document.data(), static_cast<int>(document.size()), "profile.xml", nullptr, options),
      xmlFreeDoc);
  if (!doc) return std::nullopt;
  const xmlNode* root = xmlDocGetRootElement(doc.get());
  if (!Is(root, "WLANProfile")) return std::nullopt;
  const xmlNode* name = Child(root, "name");
  const xmlNode* ssidConfig = Child(root, "SSIDConfig");
  if (!name || !ssidConfig || !Child(ssidConfig, "SSID")) return std::nullopt;
  ProfileInfo info;
  info.name = Text(name);
  if (info.name.empty()) return std::nullopt;
  return info;
}

}  // namespace netsh
