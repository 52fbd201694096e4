# How the build is kept fast enough for CI on two cores (docs/architecture.md,
# "Build time"): unity batches, light debug information in the sanitizer
# build, and lld as the linker.
#
# Unity build: each target's sources are compiled in batches of
# VELMARO_UNITY_BATCH_SIZE files, every batch one translation unit
# (<build>/CMakeFiles/<target>.dir/Unity/unity_N_cxx.cxx), so the common
# headers are parsed and their inline functions compiled once a batch instead
# of once a file. File-local names (anonymous namespaces, static functions,
# `using namespace` in a .cpp) are shared within a batch: two files of one
# target that define the same such name fail to compile together. Rename one
# of them, or list the file in VELMARO_UNITY_SKIP below, which compiles it
# alone.
option(VELMARO_UNITY_BUILD "Compile each target's sources in unity batches" ON)
set(VELMARO_UNITY_BATCH_SIZE 16 CACHE STRING "Source files in one unity batch")

if(VELMARO_UNITY_BUILD)
  set(CMAKE_UNITY_BUILD ON)
  set(CMAKE_UNITY_BUILD_MODE BATCH)
  set(CMAKE_UNITY_BUILD_BATCH_SIZE ${VELMARO_UNITY_BATCH_SIZE})
  # In a batch g++ sees each .cpp as a header of the batch's file, and so
  # takes a test fixture in a file's anonymous namespace, used as the base
  # of its TEST_F classes, for a type that could leak into other files
  # (-Wsubobject-linkage). Every such type stays in its one file, as it
  # does when the file is compiled alone, where the warning never shows.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-subobject-linkage)
  endif()
endif()

# Files compiled on their own, outside the unity batches: paths below the
# repository root.
set(VELMARO_UNITY_SKIP
  kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueSocketAccept.cpp
  kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueSocketAddress.cpp
  kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBLoginViewKit.cpp
  kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBUiKit.cpp
  kits/pal/NimbusOpenApi_IOS/Common/NimbusRequest.cpp
  kits/pal/NimbusOpenApi_IOS/NimbusOAuthOpenApi.cpp
  kits/pal/NimbusOpenApi_IOS/NimbusOAuthPalSpace.cpp
  kits/pal/PalApi/PalApiObjectCoderImpl.cpp
  kits/ripple/RPApiSenders.cpp
  peers/SimulatedRippleApp.cpp
  platform/foundation/BinaryPropertyListWriter.cpp
  platform/foundation/NSURLComponents.cpp
  platform/foundation/NSUUID.cpp
  platform/foundation/PropertyListDateText.cpp
  platform/foundation/URLParts.cpp
  platform/foundation/XMLPropertyListReader.cpp
  platform/media/SimulatedPhotoLibrary.cpp
  platform/uikit/LayoutEngine.cpp
  platform/uikit/UITabBar.cpp
  platform/uikit/UITableViewHeaderFooterView.cpp
  platform/uikit/UITextField.cpp
  platform/webkit/WKWebView.cpp
  tests/backend/GameActionTest.cpp
  tests/backend/ReportActionShapeTest.cpp
  tests/peers/SimulatedPalSignOnTest.cpp
  tests/peers/SimulatedRippleAppTest.cpp
)

# Marks the files of VELMARO_UNITY_SKIP in every folder that defines targets.
# Called once all targets exist.
function(velmaro_apply_unity_skip)
  if(NOT VELMARO_UNITY_BUILD OR NOT VELMARO_UNITY_SKIP)
    return()
  endif()
  set(folders ${PROJECT_SOURCE_DIR})
  set(pending ${PROJECT_SOURCE_DIR})
  while(pending)
    list(POP_FRONT pending folder)
    get_property(children DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    list(APPEND folders ${children})
    list(APPEND pending ${children})
  endwhile()
  list(TRANSFORM VELMARO_UNITY_SKIP PREPEND ${PROJECT_SOURCE_DIR}/ OUTPUT_VARIABLE files)
  set_source_files_properties(${files} DIRECTORY ${folders} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
endfunction()

# The sanitizer build keeps line tables and function names (what a sanitizer
# report and a debugger's backtrace show as file:line) but not the
# descriptions of types and local variables, which cost a fifth of its
# compile time. Configure with -DVELMARO_FULL_DEBUG_INFO=ON to debug with
# variables.
option(VELMARO_FULL_DEBUG_INFO "Full debug information in the sanitizer build" OFF)
if(VELMARO_SANITIZE AND NOT VELMARO_FULL_DEBUG_INFO)
  add_compile_options(-g1)
endif()

# lld links the big sanitized test binaries several times faster than ld.bfd.
find_program(VELMARO_LLD ld.lld)
if(VELMARO_LLD)
  add_link_options(-fuse-ld=lld)
endif()
