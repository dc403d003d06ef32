#!/usr/bin/env bash
# A stand-in engine for the selfplay tests: it speaks the console protocol but plays a fixed
# list of replies, SCRIPTED_WHITE when its first command is "go", SCRIPTED_BLACK otherwise.
# A reply "exit" ends it without a move, "hang" leaves the line unanswered as a long search
# would; "TEXT|e2e4" prints TEXT just before "move e2e4", as engine-c and engine-f print a
# verdict without a newline.
echo "Scripted engine"
replies=()
loaded=0
while read -r word rest; do
  case $word in
    quit) exit 0 ;;
    new) continue ;;
  esac
  if [ $loaded = 0 ]; then
    if [ "$word" = go ]; then read -r -a replies <<< "${SCRIPTED_WHITE:-}"; else read -r -a replies <<< "${SCRIPTED_BLACK:-}"; fi
    loaded=1
  fi
  reply=${replies[0]:-exit}
  replies=("${replies[@]:1}")
  [ "$reply" = exit ] && exit 0
  [ "$reply" = hang ] && continue
  case $reply in
    *'|'*) echo "${reply%|*}move ${reply#*|}" ;;
    *) echo "move $reply" ;;
  esac
done
