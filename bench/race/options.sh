# options.ini swapped with a link to an outside file during "/Clear" runs
# (sourced by race.sh). The user's settings and the outside file each carry
# a line of their own. Counted are the runs after which the outside file had
# changed (written through the link), those that saved the outside file's
# text as the user's settings, and those after which no file at either name
# holds the user's settings (lost), with their exit codes.
road_setup() {
  caption="Windows - Temporary Files"
  mkdir -p "$settings"
  outside=$race/outside/options.ini
  spare=$settings/options.ini.race-link
  write_options "$caption" 0 "Who=user" "$race/template/options.ini"
  write_options "$caption" 0 "Who=outside" "$race/template/outside.ini"
  through=0 taken=0 taken_exit0=0 lost=0 lost_exit0=0 worked=0
  declare -gA codes=()
}

road_reset() {
  rm -f "$ini" "$spare" "$settings/Clear.log"
  cp "$race/template/options.ini" "$ini"
  cp "$race/template/outside.ini" "$outside"
  ln -s "$outside" "$spare"
  swap_a=$ini swap_b=$spare args=/Clear
}

# The plain files (no link) at either name.
plain_files() { for f in "$ini" "$spare"; do if [ -f "$f" ] && [ ! -L "$f" ]; then echo "$f"; fi; done; }

road_judge() {
  codes[$code]=$((${codes[$code]:-0} + 1))
  if ! cmp -s "$outside" "$race/template/outside.ini"; then through=$((through + 1)); fi
  local files
  files=$(plain_files)
  if [ -n "$files" ] && grep -lq 'Who=outside' $files; then
    taken=$((taken + 1))
    if [ "$code" -eq 0 ]; then taken_exit0=$((taken_exit0 + 1)); fi
  fi
  if [ -z "$files" ] || ! grep -lq 'Who=user' $files; then
    lost=$((lost + 1))
    if [ "$code" -eq 0 ]; then lost_exit0=$((lost_exit0 + 1)); fi
  fi
  if [ -s "$settings/Clear.log" ]; then worked=$((worked + 1)); fi
}

road_report() {
  local exits="" c
  for c in "${!codes[@]}"; do exits+=" $c:${codes[$c]}"; done
  echo "options: $through of $runs runs wrote through the link; $taken saved the outside file's text as the user's" \
    "settings ($taken_exit0 of them ended with 0); $lost lost the user's settings ($lost_exit0 ended with 0);" \
    "the run wrote its log in $worked; exit codes$exits"
}
