#include "releases_report.h"

#include "json_writer.h"
#include "progress.h"
#include "text_table.h"

namespace vk::publish {
namespace {

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text.empty() ? "-" : text;
}

}  // namespace

std::string ReleasesText(const ReleasesReport& report) {
    if (report.releases.empty()) return "No releases in the store.\n";
    TextTable table(
        {{"build"}, {"version"}, {"published"}, {"files", true}, {"size", true}, {"blobs"}, {"channels"}, {"list"}});
    for (const ReleaseEntry& entry : report.releases) {
        const ReleaseList& list = entry.release.list;
        table.AddRow({list.buildId, list.projectVersion, list.published.empty() ? "-" : list.published,
                      std::to_string(list.files.size()), FormatBytes(entry.bytes),
                      entry.missingBlobs == 0 ? "complete" : std::to_string(entry.missingBlobs) + " missing",
                      Joined(entry.channels), entry.release.path});
    }
    return table.Text();
}

std::string ReleasesJson(const ReleasesReport& report) {
    JsonWriter json;
    json.BeginObject();
    json.Key("releases").BeginArray();
    for (const ReleaseEntry& entry : report.releases) {
        const ReleaseList& list = entry.release.list;
        json.BeginObject();
        json.Key("release").String(entry.release.path);
        json.Key("build_id").String(list.buildId);
        json.Key("version").String(list.projectVersion);
        json.Key("published").StringOrNull(list.published);
        json.Key("files").Number(list.files.size());
        json.Key("size").Number(entry.bytes);
        json.Key("missing_blobs").Number(entry.missingBlobs);
        json.Key("channels").Strings(entry.channels);
        json.EndObject();
    }
    json.EndArray();
    json.Key("problems").Strings(report.problems);
    json.EndObject();
    return json.Text();
}

}  // namespace vk::publish
