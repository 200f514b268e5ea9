# The package a host application builds against: the umbrella targets kvScript::kvScript and
# (with the Qt layers) kvScript::Gui, their install rules, a CMake config package and a
# pkg-config file. Included by the top-level CMakeLists.txt after every library exists.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The libraries of the package, highest layer first: a static link line needs this order.
set(kv_package_layer_order
    kv_api kv_frontend kv_iextctrlsrtti kv_iformsrtti kv_igraphicsrtti kv_ievents
    kv_iclassesrtti kv_isysrtti kv_binding kv_gui kv_xml kv_engine kv_tokenizer kv_host_core)
set(kv_package_gui_libraries kv_gui kv_igraphicsrtti kv_iformsrtti kv_iextctrlsrtti)

add_library(kv_package INTERFACE)
set_target_properties(kv_package PROPERTIES EXPORT_NAME kvScript)
target_link_libraries(kv_package INTERFACE kv_api)
# The installed headers are C++20: a host compiling them in an older mode would fail far from
# the cause.
target_compile_features(kv_package INTERFACE cxx_std_20)
target_include_directories(kv_package INTERFACE $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>)
add_library(kvScript::kvScript ALIAS kv_package)

if(KV_GUI)
  add_library(kv_package_gui INTERFACE)
  set_target_properties(kv_package_gui PROPERTIES EXPORT_NAME Gui)
  target_link_libraries(kv_package_gui INTERFACE kv_package ${kv_package_gui_libraries})
  add_library(kvScript::Gui ALIAS kv_package_gui)
endif()

# kv_link_closure(OUT TARGET): TARGET and every target it links, directly or not, private
# links of static libraries included (a static link needs them too).
function(kv_link_closure out target)
  set(seen ${${out}})
  if(target IN_LIST seen)
    return()
  endif()
  list(APPEND seen ${target})
  get_target_property(imported ${target} IMPORTED)
  get_target_property(type ${target} TYPE)
  if(imported)
    # A dependency found elsewhere (Qt): its own config brings what it needs.
    set(links "")
  elseif(type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(links ${target} INTERFACE_LINK_LIBRARIES)
  else()
    get_target_property(links ${target} LINK_LIBRARIES)
  endif()
  foreach(link IN LISTS links)
    if(TARGET ${link})
      kv_link_closure(seen ${link})
    endif()
  endforeach()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

set(kv_package_closure "")
kv_link_closure(kv_package_closure kv_package)
if(KV_GUI)
  kv_link_closure(kv_package_closure kv_package_gui)
endif()

# The package's own libraries (built here) and the Qt modules they stand on.
set(kv_package_libraries "")
foreach(lib IN LISTS kv_package_layer_order)
  if(lib IN_LIST kv_package_closure)
    list(APPEND kv_package_libraries ${lib})
  endif()
endforeach()
set(kv_package_interfaces "")
set(kv_package_qt_modules "")
foreach(item IN LISTS kv_package_closure)
  get_target_property(type ${item} TYPE)
  get_target_property(imported ${item} IMPORTED)
  if(imported AND item MATCHES "^Qt6::(.+)$")
    list(APPEND kv_package_qt_modules ${CMAKE_MATCH_1})
  elseif(type STREQUAL "INTERFACE_LIBRARY" AND NOT imported)
    list(APPEND kv_package_interfaces ${item})
  elseif(NOT imported AND NOT item IN_LIST kv_package_libraries)
    message(FATAL_ERROR "kvScript package: ${item} is linked but missing from the layer order "
                        "in cmake/KvPackage.cmake")
  endif()
endforeach()

# Every library may end up in a host's shared library or plugin, so all are
# position-independent (the programs and tests keep their flags). GCC's -fPIC alone would
# also stop inlining and direct calls between a library's own functions, which could be
# interposed at load time; nobody interposes ours, so the engine keeps its speed. Shared
# libraries carry the version; before 1.0 every minor release may change the ABI.
set_target_properties(
  ${kv_package_libraries}
  PROPERTIES POSITION_INDEPENDENT_CODE ON
             VERSION ${PROJECT_VERSION}
             SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}
             INSTALL_RPATH "$ORIGIN")
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  foreach(lib IN LISTS kv_package_libraries)
    target_compile_options(${lib} PRIVATE -fno-semantic-interposition)
  endforeach()
endif()

if(NOT KV_INSTALL)
  return()
endif()

set(kv_package_config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/kvScript)
set(kv_package_include_root ${CMAKE_INSTALL_INCLUDEDIR}/kvscript)

install(
  TARGETS ${kv_package_libraries} ${kv_package_interfaces}
  EXPORT kvScriptTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} ${kv_package_include_root})

# Public headers go to include/kvscript/; the internal headers they include keep their
# layer folders under that root, so their own includes ("engine/...") resolve unchanged.
# The API library lists them (KV_PUBLIC_HEADERS, paths from the project root).
get_target_property(kv_package_headers kv_api KV_PUBLIC_HEADERS)
foreach(header IN LISTS kv_package_headers)
  string(REGEX REPLACE "^include/kvscript/" "" relative ${header})
  get_filename_component(folder ${relative} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/${header} DESTINATION ${kv_package_include_root}/${folder})
endforeach()

install(
  EXPORT kvScriptTargets
  NAMESPACE kvScript::
  DESTINATION ${kv_package_config_dir})

set(KV_PACKAGE_QT_MODULES ${kv_package_qt_modules})
configure_package_config_file(
  ${PROJECT_SOURCE_DIR}/cmake/kvScriptConfig.cmake.in
  ${PROJECT_BINARY_DIR}/kvScriptConfig.cmake
  INSTALL_DESTINATION ${kv_package_config_dir})
# 0.x: a host built against 0.1 needs 0.1.
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/kvScriptConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kvScriptConfig.cmake
              ${PROJECT_BINARY_DIR}/kvScriptConfigVersion.cmake
        DESTINATION ${kv_package_config_dir})

# pkg-config: the libraries in link order; the Qt modules as requirements, which a static
# link needs on the host's link line.
list(TRANSFORM kv_package_libraries PREPEND "-l" OUTPUT_VARIABLE kv_pc_libs)
list(JOIN kv_pc_libs " " KV_PC_LIBS)
list(TRANSFORM kv_package_qt_modules PREPEND "Qt6" OUTPUT_VARIABLE kv_pc_requires)
list(JOIN kv_pc_requires " " kv_pc_requires)
if(BUILD_SHARED_LIBS)
  set(KV_PC_REQUIRES "Requires.private: ${kv_pc_requires}")
else()
  set(KV_PC_REQUIRES "Requires: ${kv_pc_requires}")
endif()
if(NOT kv_pc_requires)
  set(KV_PC_REQUIRES "")
endif()
file(RELATIVE_PATH KV_PC_PREFIX_FROM_PCDIR /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
string(REGEX REPLACE "/$" "" KV_PC_PREFIX_FROM_PCDIR "${KV_PC_PREFIX_FROM_PCDIR}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/kvscript.pc.in ${PROJECT_BINARY_DIR}/kvscript.pc
               @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kvscript.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Of the programs, only the runner is installed.
set_target_properties(kvscript PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
install(TARGETS kvscript RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
