# Run by `cmake --install` before it installs anything: adds to the record beside the install
# manifest each folder the install is about to make, the folders it installs into and any folder
# above them up to the prefix, so that the uninstall removes what the install made and nothing
# that was there before. The record keeps what earlier installs made, which are there now.
# A package build installs one component at a time and writes no manifest; it records nothing.
# Set before it runs: vorel_install_folders (relative to the prefix), vorel_folder_record.
if(CMAKE_INSTALL_COMPONENT)
  return()
endif()
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(made "")
if(EXISTS "${vorel_folder_record}")
  file(STRINGS "${vorel_folder_record}" made)
endif()
foreach(folder ${vorel_install_folders})
  if(IS_ABSOLUTE "${folder}")
    set(path "$ENV{DESTDIR}${folder}")
  else()
    set(path "${root}/${folder}")
  endif()
  cmake_path(NORMAL_PATH path)
  # From the folder up to the first one that is there (the prefix itself may be missing).
  while(NOT EXISTS "${path}")
    list(APPEND made "${path}")
    cmake_path(GET path PARENT_PATH parent)
    if(parent STREQUAL path)
      break()
    endif()
    set(path "${parent}")
  endwhile()
endforeach()
list(REMOVE_DUPLICATES made)
list(JOIN made "\n" text)
file(WRITE "${vorel_folder_record}" "${text}\n")
