# Runs at install time: writes one xboard plugin file per playing build, naming the quillmoor
# command and the sample books where this install puts them (so --prefix is honoured, and
# DESTDIR by file(INSTALL)), and installs them. Set beforehand: QUILL_PLUGIN_BINDIR,
# QUILL_PLUGIN_BOOKDIR, QUILL_PLUGIN_DIR (install directories, relative to the prefix or
# absolute), QUILL_PLUGIN_BUILDS, QUILL_PLUGIN_TEMPLATE and QUILL_PLUGIN_STAGE (a scratch folder).
#
# xboard turns a plugin line "cd DIR;COMMAND" into an engine-list entry that starts COMMAND in
# DIR; it cannot carry xboard options such as the protocol version, so the command is the
# quillmoor launcher, which tells xboard itself that no feature will follow. The build's name
# comes right after the command's: xboard's list shows only the first two dozen characters of
# an entry.

function(quill_installed_path out dir)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

quill_installed_path(programs "${QUILL_PLUGIN_BINDIR}")
quill_installed_path(QUILL_ENGINE_DIRECTORY "${QUILL_PLUGIN_BOOKDIR}")
quill_installed_path(plugin_dir "${QUILL_PLUGIN_DIR}")
set(QUILL_LAUNCHER "${programs}/quillmoor")

file(REMOVE_RECURSE "${QUILL_PLUGIN_STAGE}")
set(plugins)
foreach(QUILL_BUILD IN LISTS QUILL_PLUGIN_BUILDS)
  configure_file("${QUILL_PLUGIN_TEMPLATE}" "${QUILL_PLUGIN_STAGE}/quillmoor-${QUILL_BUILD}.eng" @ONLY)
  list(APPEND plugins "${QUILL_PLUGIN_STAGE}/quillmoor-${QUILL_BUILD}.eng")
endforeach()
file(INSTALL ${plugins} DESTINATION "${plugin_dir}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
