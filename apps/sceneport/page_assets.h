// What a scene page is made of, built into the command from apps/sceneport/page/.
#pragma once

#include <span>
#include <string_view>

namespace sceneport {

// The page, with @TITLE@ and @SCENES@ (a JSON object) to fill in.
extern const std::string_view kScenePageTemplate;
// The files of X_ITE's dist/ folder a page needs, relative to it.
extern const std::span<const std::string_view> kXiteFiles;
// Where those files are: the repository's node_modules for a command in the build tree, or the
// installed tree's data folder, relative to the installed command's folder.
extern const std::string_view kXiteBuildDirectory;
extern const std::string_view kXiteFromCommand;

}  // namespace sceneport
