# bash completion for horizonmill-render: its options (as its own --help lists
# them), the values of those that take a word, scene files, output names and
# folders.

_horizonmill_render_options() {
  # Every option --help explains, once per shell.
  if [[ -z ${_horizonmill_render_option_list-} ]]; then
    _horizonmill_render_option_list=$("$1" --help 2>/dev/null |
      grep -oE '^  (-[a-zA-Z], )?--[a-z][a-z0-9-]*' | tr -d ',' | tr -s ' ' '\n' | sort -u)
  fi
  printf '%s\n' "$_horizonmill_render_option_list"
}

_horizonmill_render() {
  local cur prev words cword
  _init_completion || return

  case $prev in
    -o | --output)
      _filedir '@(png|PNG|jpg|JPG|jpeg|JPEG|bmp|BMP|exr|EXR|hdr|HDR)'
      return ;;
    --format)
      COMPREPLY=($(compgen -W 'png jpg bmp exr hdr' -- "$cur"))
      return ;;
    --cubemap-format)
      COMPREPLY=($(compgen -W 'png bmp jpg exr hdr' -- "$cur"))
      return ;;
    --cubemap-layout)
      COMPREPLY=($(compgen -W 'faces row column 2x3 3x2 cross vcross' -- "$cur"))
      return ;;
    --cubemap-convention)
      COMPREPLY=($(compgen -W 'gl threejs' -- "$cur"))
      return ;;
    --cubemap | --search-dir)
      _filedir -d
      return ;;
    --register | --unregister | --list-registered)
      _filedir '@(ini|INI)'
      return ;;
    --write-default)
      _filedir hm
      return ;;
    --sun-json | --sh-json)
      _filedir json
      return ;;
    --size)
      COMPREPLY=($(compgen -W '3072x1536 4096x2048 8192x4096 16384x8192' -- "$cur"))
      return ;;
    --alias | --name | --threads | --quality | --face-size | --picture-budget | \
      --sun-ratio | --thumbnail | --png-level)
      return ;;
  esac

  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$(_horizonmill_render_options "$1")" -- "$cur"))
    return
  fi
  _filedir '@(hm|HM)'
} &&
  complete -F _horizonmill_render horizonmill-render
