<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CoreText</name>
    <message>
        <source>空のグラデーション 作画中..</source>
        <translation>Drawing the sky gradation..</translation>
    </message>
    <message>
        <source>太陽作画中..</source>
        <translation>Drawing the sun..</translation>
    </message>
    <message>
        <source>オブジェクト作画中..</source>
        <translation>Drawing the objects..</translation>
    </message>
    <message>
        <source>星空作画中.. 個数： %1</source>
        <translation>Drawing the stars.. count: %1</translation>
    </message>
    <message>
        <source>天井作画中..</source>
        <translation>Drawing the ceiling..</translation>
    </message>
    <message>
        <source>映り込みオブジェクト作画中..</source>
        <translation>Drawing the reflected objects..</translation>
    </message>
    <message>
        <source>地面作画中..</source>
        <translation>Drawing the ground..</translation>
    </message>
    <message>
        <source>画像更新中..</source>
        <translation>Updating the image..</translation>
    </message>
    <message>
        <source>作画は中止されました。</source>
        <translation>The drawing was stopped.</translation>
    </message>
    <message>
        <source>書き込み中..</source>
        <translation>Writing..</translation>
    </message>
    <message>
        <source>地面テクスチャ読み込み中</source>
        <translation>Loading the ground texture</translation>
    </message>
    <message>
        <source>天井テクスチャ読み込み中</source>
        <translation>Loading the ceiling texture</translation>
    </message>
    <message>
        <source>（地面テクスチャ）</source>
        <translation>(ground texture)</translation>
    </message>
    <message>
        <source>（天井テクスチャ）</source>
        <translation>(ceiling texture)</translation>
    </message>
    <message>
        <source>地面テクスチャはありません。</source>
        <translation>There is no ground texture.</translation>
    </message>
    <message>
        <source>天井テクスチャはありません。</source>
        <translation>There is no ceiling texture.</translation>
    </message>
    <message>
        <source>メモリー枯渇！</source>
        <translation>Out of memory!</translation>
    </message>
    <message>
        <source>メモリーが枯渇しました。</source>
        <translation>Memory has run out.</translation>
    </message>
    <message>
        <source>メモリーをくれええ</source>
        <translation>More memory, please!</translation>
    </message>
    <message>
        <source>メモリーが尽きました。</source>
        <translation>Memory ran out.</translation>
    </message>
    <message>
        <source>メモリーがないいい！</source>
        <translation>No memoryyy!</translation>
    </message>
    <message>
        <source>地面テクスチャ用のメモリーが確保できませんでした。</source>
        <translation>No memory could be had for the ground texture.</translation>
    </message>
    <message>
        <source>天井テクスチャ用のメモリーが確保できませんでした。</source>
        <translation>No memory could be had for the ceiling texture.</translation>
    </message>
    <message>
        <source>オブジェクトファイル %1 がありません。代わりを指定してください</source>
        <translation>The object file %1 is missing. Please choose one in its place</translation>
    </message>
    <message>
        <source>地面テクスチャファイル %1 がありません。代わりを指定してください</source>
        <translation>The ground texture file %1 is missing. Please choose one in its place</translation>
    </message>
    <message>
        <source>天井テクスチャファイル %1 がありません。代わりを指定してください</source>
        <translation>The ceiling texture file %1 is missing. Please choose one in its place</translation>
    </message>
    <message>
        <source>作画は中止されました。描けたところまでを保存しますか？</source>
        <translation>The drawing was stopped. Save what has been drawn so far?</translation>
    </message>
    <message>
        <source>プログラムの設定を保存できませんでした。</source>
        <translation>The program&apos;s settings could not be saved.</translation>
    </message>
    <message>
        <source>画像ファイル名に使えない文字が含まれています。</source>
        <translation>The picture file name holds characters that cannot be used.</translation>
    </message>
    <message>
        <source>画像ファイル名が長すぎます。（最大32文字）</source>
        <translation>The picture file name is too long. (32 characters at most)</translation>
    </message>
    <message>
        <source>エイリアス名に使えない文字が含まれています。</source>
        <translation>The alias holds characters that cannot be used.</translation>
    </message>
    <message>
        <source>エイリアス名が長すぎます。（最大３２半角文字、全角だと半分です。）</source>
        <translation>The alias is too long. (32 half-width characters at most; full-width ones count twice.)</translation>
    </message>
    <message>
        <source>Qora-L シリーズが正しくインストールされていません。</source>
        <translation>The Qora-L series is not installed correctly.</translation>
    </message>
    <message>
        <source>すでに同じファイル名の背景が登録されています。</source>
        <translation>A background with the same file name is registered already.</translation>
    </message>
    <message>
        <source>中断された書き込みの残したファイルを削除しました：%1</source>
        <translation>Removed what an interrupted writing had left beside its files: %1</translation>
    </message>
    <message>
        <source>前回中断された登録の残りを片付けました。</source>
        <translation>What was left of a registration interrupted last time has been cleared away.</translation>
    </message>
    <message>
        <source>前回中断された削除を最後まで行いました。</source>
        <translation>A removal interrupted last time has been completed.</translation>
    </message>
    <message>
        <source>登録した背景の管理ファイルがありません。</source>
        <translation>The file that lists the registered backgrounds is missing.</translation>
    </message>
    <message>
        <source>画像を削除できませんでした。</source>
        <translation>A picture could not be deleted.</translation>
    </message>
    <message>
        <source>背景「%1」を削除します。よろしいですか？</source>
        <translation>Remove the background &quot;%1&quot;?</translation>
    </message>
    <message>
        <source>背景「%1」はQORA-Lシリーズの背景一覧にありませんでした。登録時の画像を削除しました。</source>
        <translation>The background &quot;%1&quot; was not in the QORA-L series&apos; list of backgrounds. The pictures of its registration have been deleted.</translation>
    </message>
    <message>
        <source>背景「%1」はQORA-Lシリーズの背景一覧にありませんでした。記録だけを消し、画像は削除していません。</source>
        <translation>The background &quot;%1&quot; was not in the QORA-L series&apos; list of backgrounds. Only its record has been removed; no picture was deleted.</translation>
    </message>
    <message>
        <source>Qora-L シリーズのIniファイルがUTF-16で書かれているため読めません。Shift_JISかUTF-8で保存し直してください。</source>
        <translation>The Qora-L series&apos; INI file is written in UTF-16, which cannot be read. Save it as Shift_JIS or UTF-8.</translation>
    </message>
    <message>
        <source>Qora-L シリーズのファイルが読み取り専用のため、何も変更していません。</source>
        <translation>A file of the Qora-L series is read-only, so nothing has been changed.</translation>
    </message>
</context>
<context>
    <name>DialogParts</name>
    <message>
        <source>加法混色</source>
        <translation>Additive</translation>
    </message>
    <message>
        <source>中間混色</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>減法混色</source>
        <translation>Subtractive</translation>
    </message>
</context>
<context>
    <name>UserDialogs</name>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>破棄</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>画像のあるフォルダーを指定…</source>
        <translation>Point at the folder of the pictures…</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::CeilingControls</name>
    <message>
        <source>天井</source>
        <translation>Ceiling</translation>
    </message>
    <message>
        <source>天井と呼んでいますが通常は雲でしょう</source>
        <translation>Called the ceiling, but it will usually be clouds</translation>
    </message>
    <message>
        <source>大きさ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>天井テクスチャの大きさです。本システムではテクスチャの解像度によらず一定のスケーリングを施します</source>
        <translation>The size of the ceiling texture. A texture is scaled the same whatever its resolution</translation>
    </message>
    <message>
        <source>透過色設定</source>
        <translation>Transparent colour</translation>
    </message>
    <message>
        <source>天井テクスチャの完全透過色(部分）を設定します。空気遠近をかけている場合はお勧めしません</source>
        <translation>Sets the colour (the parts) of the ceiling texture that is fully transparent. Not recommended with aerial perspective</translation>
    </message>
    <message>
        <source>不透明</source>
        <translation>Opaque</translation>
    </message>
    <message>
        <source>天井テクスチャの透明度です</source>
        <translation>The transparency of the ceiling texture</translation>
    </message>
    <message>
        <source>透明</source>
        <translation>Transparent</translation>
    </message>
    <message>
        <source>天井テクスチャのグラデーションおよび星空に対する合成方法です</source>
        <translation>How the ceiling texture is blended over the gradation and the stars</translation>
    </message>
    <message>
        <source>加法混色</source>
        <translation>Additive</translation>
    </message>
    <message>
        <source>中間混色</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>減法混色</source>
        <translation>Subtractive</translation>
    </message>
    <message>
        <source>天井テクスチャ画像</source>
        <translation>Ceiling texture picture</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>天井テクスチャ指定用のダイアログを出します</source>
        <translation>Opens a dialog to choose the ceiling texture</translation>
    </message>
    <message>
        <source>bmp、png、jpeg 形式の画像ファイルです</source>
        <translation>A picture file in BMP, PNG or JPEG format</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::EditHistory</name>
    <message>
        <source>空のグラデーション</source>
        <translation>Sky gradation</translation>
    </message>
    <message>
        <source>太陽設定</source>
        <translation>Sun settings</translation>
    </message>
    <message>
        <source>乱数のシード</source>
        <translation>Random seed</translation>
    </message>
    <message>
        <source>空気遠近強さ</source>
        <translation>Aerial perspective</translation>
    </message>
    <message>
        <source>星の数</source>
        <translation>Number of stars</translation>
    </message>
    <message>
        <source>星の大きさ</source>
        <translation>Star size</translation>
    </message>
    <message>
        <source>星</source>
        <translation>Stars</translation>
    </message>
    <message>
        <source>天井</source>
        <translation>Ceiling</translation>
    </message>
    <message>
        <source>天井テクスチャ画像</source>
        <translation>Ceiling texture</translation>
    </message>
    <message>
        <source>天井の大きさ</source>
        <translation>Ceiling size</translation>
    </message>
    <message>
        <source>透過色設定</source>
        <translation>Transparent colour</translation>
    </message>
    <message>
        <source>天井の透明度</source>
        <translation>Ceiling transparency</translation>
    </message>
    <message>
        <source>天井の合成方法</source>
        <translation>Ceiling blending</translation>
    </message>
    <message>
        <source>地面</source>
        <translation>Ground</translation>
    </message>
    <message>
        <source>地面テクスチャ画像</source>
        <translation>Ground texture</translation>
    </message>
    <message>
        <source>地面の大きさ</source>
        <translation>Ground size</translation>
    </message>
    <message>
        <source>地面の歪み</source>
        <translation>Ground warp</translation>
    </message>
    <message>
        <source>地面の鏡面係数</source>
        <translation>Ground reflection</translation>
    </message>
    <message>
        <source>分割出力モード</source>
        <translation>Split output mode</translation>
    </message>
    <message>
        <source>出力解像度</source>
        <translation>Output resolution</translation>
    </message>
    <message>
        <source>出力画像ファイル名</source>
        <translation>Output file name</translation>
    </message>
    <message>
        <source>設定の変更</source>
        <translation>Change of settings</translation>
    </message>
    <message>
        <source>オブジェクトの追加</source>
        <translation>Add object</translation>
    </message>
    <message>
        <source>オブジェクトの削除</source>
        <translation>Delete object</translation>
    </message>
    <message>
        <source>オブジェクトの設定</source>
        <translation>Object settings</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>元に戻す: %1</source>
        <translation>Undo: %1</translation>
    </message>
    <message>
        <source>やり直し: %1</source>
        <translation>Redo: %1</translation>
    </message>
    <message>
        <source>やり直し</source>
        <translation>Redo</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::FileCommands</name>
    <message>
        <source>設定ファイルを読み込めませんでした。</source>
        <translation>The settings file could not be read.</translation>
    </message>
    <message>
        <source>設定ファイル「%1」がありません。</source>
        <translation>The settings file &quot;%1&quot; no longer exists.</translation>
    </message>
    <message>
        <source>（なし）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>設定ファイルを保存できませんでした。</source>
        <translation>The settings file could not be saved.</translation>
    </message>
    <message>
        <source>設定「%1」は変更されています。保存しますか？</source>
        <translation>The settings &quot;%1&quot; have been changed. Save them?</translation>
    </message>
    <message>
        <source>地面テクスチャ</source>
        <translation>Ground texture</translation>
    </message>
    <message>
        <source>天井テクスチャ</source>
        <translation>Ceiling texture</translation>
    </message>
    <message>
        <source>遠景オブジェクト %1</source>
        <translation>Far object %1</translation>
    </message>
    <message>
        <source>中景オブジェクト %1</source>
        <translation>Middle object %1</translation>
    </message>
    <message>
        <source>近景オブジェクト %1</source>
        <translation>Near object %1</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>（読み込めません）</source>
        <translation> (cannot be read)</translation>
    </message>
    <message>
        <source>（メモリーが足りません）</source>
        <translation> (not enough memory)</translation>
    </message>
    <message>
        <source>次の画像を使えません：</source>
        <translation>These pictures cannot be used:</translation>
    </message>
    <message>
        <source>新規.hm</source>
        <translation>Untitled.hm</translation>
    </message>
    <message>
        <source>（見つかりません）</source>
        <translation> (not found)</translation>
    </message>
    <message>
        <source>次の画像はまだ使えません：</source>
        <translation>These pictures still cannot be used:</translation>
    </message>
    <message>
        <source>画像のあるフォルダー</source>
        <translation>The folder of the pictures</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::GroundControls</name>
    <message>
        <source>地面</source>
        <translation>Ground</translation>
    </message>
    <message>
        <source>地面テクスチャは、静かな水面とか氷とかなんか特殊なものが得意という偏った仕様…</source>
        <translation>The ground texture is, by a one-sided design, best at special things such as still water or ice…</translation>
    </message>
    <message>
        <source>大きさ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>地面テクスチャの大きさです。本システムではテクスチャの解像度によらず一定のスケーリングを施します</source>
        <translation>The size of the ground texture. A texture is scaled the same whatever its resolution</translation>
    </message>
    <message>
        <source>歪み</source>
        <translation>Warp</translation>
    </message>
    <message>
        <source>地面に映り込んだ像をテクスチャの柄にあわせて歪ませます。波紋に近い効果</source>
        <translation>Warps what the ground mirrors along the texture&apos;s pattern: an effect like ripples</translation>
    </message>
    <message>
        <source>非鏡面</source>
        <translation>Matte</translation>
    </message>
    <message>
        <source>地面テクスチャの鏡面係数…</source>
        <translation>How much the ground texture mirrors…</translation>
    </message>
    <message>
        <source>鏡面</source>
        <translation>Mirror</translation>
    </message>
    <message>
        <source>地面テクスチャ画像</source>
        <translation>Ground texture picture</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>地面テクスチャ指定用のダイアログを出します</source>
        <translation>Opens a dialog to choose the ground texture</translation>
    </message>
    <message>
        <source>bmp、png、jpeg 形式の画像ファイルです</source>
        <translation>A picture file in BMP, PNG or JPEG format</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::LookAroundView</name>
    <message>
        <source>パノラマを見回す</source>
        <translation>Look around the panorama</translation>
    </message>
    <message>
        <source>ドラッグで向きを変え、ホイールで画角を変えます。矢印キーでも回り、Home キーでパノラマの中央の水平線に戻ります</source>
        <translation>Drag to turn, use the wheel to change the field of view. The arrow keys turn too, and Home goes back to the horizon at the middle of the panorama</translation>
    </message>
    <message>
        <source>%1 %2 × %3    方位 %4°  仰角 %5°  画角 %6°</source>
        <translation>%1 %2 × %3    heading %4°  elevation %5°  field of view %6°</translation>
    </message>
    <message>
        <source>プレビューをクリックするか完成画像を作画すると、ここで見回せます。</source>
        <translation>Click the preview or render the final image to look around it here.</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::OutputCommands</name>
    <message>
        <source>画像ファイルを書き込めませんでした。</source>
        <translation>The image file could not be written.</translation>
    </message>
    <message>
        <source>画像ファイルを出力できません。</source>
        <translation>The image cannot be written to this file.</translation>
    </message>
    <message>
        <source>キューブマップを出力するフォルダー</source>
        <translation>Folder for the cube map</translation>
    </message>
    <message>
        <source>キューブマップを出力できません。</source>
        <translation>The cube map cannot be written to this folder.</translation>
    </message>
    <message>
        <source>このフォルダーのキューブマップ（%1）を置き換えますか？</source>
        <translation>Replace the cube map (%1) in this folder?</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::OutputControls</name>
    <message>
        <source>出力画像の幅(ピクセル）です。もちろん整数</source>
        <translation>The width of the output image in pixels. A whole number, of course</translation>
    </message>
    <message>
        <source>出力画像の高さ（ピクセル）もちろん整数</source>
        <translation>The height of the output image in pixels. A whole number, of course</translation>
    </message>
    <message>
        <source>jpeg(.jpg) か bmp(.bmp) 形式の画像ファイルを指定して下さい。絶対パスでの記入をオススメします。</source>
        <translation>A picture file in JPEG (.jpg) or BMP (.bmp) format. A full path is recommended.</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>出力画像指定用のダイアログを出します</source>
        <translation>Opens a dialog to choose the output image</translation>
    </message>
    <message>
        <source>レンダリングを実行し完成画像を画像ファイルとして出力</source>
        <translation>Render and save the final image to the file</translation>
    </message>
    <message>
        <source>完成画像を作画し、出力します</source>
        <translation>Renders the final image and writes it</translation>
    </message>
    <message>
        <source>QORA-Lシリーズに登録</source>
        <translation>Register with the QORA-L series</translation>
    </message>
    <message>
        <source>背景画像を作画しQora-Lシリーズに登録します。</source>
        <translation>Renders a background picture and registers it with the Qora-L series.</translation>
    </message>
    <message>
        <source>分割出力モード（</source>
        <translation>Split output mode (</translation>
    </message>
    <message>
        <source>ダイエットモード ）</source>
        <translation>Diet mode )</translation>
    </message>
    <message>
        <source>出力解像度</source>
        <translation>Resolution</translation>
    </message>
    <message>
        <source>出力画像ファイル名</source>
        <translation>Output image file</translation>
    </message>
    <message>
        <source>出力</source>
        <translation>Output</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::ProgramIni</name>
    <message>
        <source>ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)</source>
        <translation>Bitmap (*.bmp)</translation>
    </message>
    <message>
        <source>Horizonmillデータファイル (*.hm)</source>
        <translation>Horizonmill data file (*.hm)</translation>
    </message>
    <message>
        <source>JPEGイメージ (*.jpg)</source>
        <translation>JPEG image (*.jpg)</translation>
    </message>
    <message>
        <source>Iniファイル (*.ini *.Ini *.INI)</source>
        <translation>INI file (*.ini *.Ini *.INI)</translation>
    </message>
    <message>
        <source>Qora LシリーズのIniファイル(QoraL1.Ini,QoraL2.Iniなど)を指定して下さい。</source>
        <translation>Choose the INI file of the Qora L series (QoraL1.Ini, QoraL2.Ini, ...).</translation>
    </message>
    <message>
        <source>画像 (*.bmp *.png *.jpg *.jpeg *.BMP *.PNG *.JPG *.JPEG)</source>
        <translation>Pictures (*.bmp *.png *.jpg *.jpeg *.BMP *.PNG *.JPG *.JPEG)</translation>
    </message>
    <message>
        <source>JPEGイメージ (*.jpg *.jpeg *.JPG *.JPEG)</source>
        <translation>JPEG image (*.jpg *.jpeg *.JPG *.JPEG)</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::RegistrationCommands</name>
    <message>
        <source>背景を登録できませんでした。</source>
        <translation>The background could not be registered.</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::RenderPanel</name>
    <message>
        <source>ここをクリックするとプレビュー画像を作画します</source>
        <translation>Click here to render the preview</translation>
    </message>
    <message>
        <source>頑張って作画中です</source>
        <translation>Working hard on the drawing</translation>
    </message>
    <message>
        <source>作画中止</source>
        <translation>Stop drawing</translation>
    </message>
    <message>
        <source>作画を中止します。中止した結果なんか変な画像が表示される可能性があります</source>
        <translation>Stops the drawing. What is shown after a stop may look somewhat odd</translation>
    </message>
    <message>
        <source>完成画像</source>
        <translation>Final image</translation>
    </message>
    <message>
        <source>プレビュー</source>
        <translation>Preview</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::SceneControls</name>
    <message>
        <source>空のグラデーション...</source>
        <translation>Sky gradation...</translation>
    </message>
    <message>
        <source>空間を満たす水平グラデーションを定義します</source>
        <translation>Defines the horizontal gradation that fills the space</translation>
    </message>
    <message>
        <source>太陽設定...</source>
        <translation>Sun...</translation>
    </message>
    <message>
        <source>同心円グラデーションを定義します。オブジェクトに対する光源としても機能します</source>
        <translation>Defines a concentric gradation. It also lights the objects</translation>
    </message>
    <message>
        <source>星、オブジェクト配置に関する乱数j系列を指定します 整数を指定してください</source>
        <translation>The random sequence that places the stars and objects. Give a whole number</translation>
    </message>
    <message>
        <source>推奨値は100以内の正の数値</source>
        <translation>A positive number, best 100 or less</translation>
    </message>
    <message>
        <source>乱数のシード</source>
        <translation>Random seed</translation>
    </message>
    <message>
        <source>空気遠近強さ</source>
        <translation>Aerial perspective</translation>
    </message>
    <message>
        <source>空と太陽</source>
        <translation>Sky and sun</translation>
    </message>
    <message>
        <source>星も空気遠近の影響を適当に受けます</source>
        <translation>The stars, too, are touched by the aerial perspective, roughly</translation>
    </message>
    <message>
        <source>星の大きさの基準値。あまり大きくすると破綻します。</source>
        <translation>The base size of the stars. Too large and it falls apart.</translation>
    </message>
    <message>
        <source>星&#x3000;数</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>大きさ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>星</source>
        <translation>Stars</translation>
    </message>
    <message>
        <source>遠景オブジェクト設定...</source>
        <translation>Far objects...</translation>
    </message>
    <message>
        <source>最も奥に描かれるオブジェクト群を設定します</source>
        <translation>Sets the objects drawn farthest away</translation>
    </message>
    <message>
        <source>中景オブジェクト設定...</source>
        <translation>Middle objects...</translation>
    </message>
    <message>
        <source>中ぐらいの距離に描かれるオブジェクト群を設定します</source>
        <translation>Sets the objects drawn at a middle distance</translation>
    </message>
    <message>
        <source>近景オブジェクト設定...</source>
        <translation>Near objects...</translation>
    </message>
    <message>
        <source>近い距離に（といってもあんまり近くないのは作者の偏った思想のせい）以下略</source>
        <translation>Sets the objects drawn near (not all that near, owing to the author&apos;s peculiar ideas), and so on</translation>
    </message>
    <message>
        <source>オブジェクト</source>
        <translation>Objects</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::TCubeMapForm</name>
    <message>
        <source>キューブマップの出力</source>
        <translation>Cube map</translation>
    </message>
    <message>
        <source>6枚の画像 (px, nx, py, ny, pz, nz)</source>
        <translation>Six pictures (px, nx, py, ny, pz, nz)</translation>
    </message>
    <message>
        <source>横一列 (6 × 1)</source>
        <translation>A row (6 × 1)</translation>
    </message>
    <message>
        <source>縦一列 (1 × 6)</source>
        <translation>A column (1 × 6)</translation>
    </message>
    <message>
        <source>2 × 3 (X+, X−, Y+, Y−, Z+, Z−)</source>
        <translation>2 × 3 (X+, X−, Y+, Y−, Z+, Z−)</translation>
    </message>
    <message>
        <source>3 × 2 (X+, X−, Y+, Y−, Z+, Z−)</source>
        <translation>3 × 2 (X+, X−, Y+, Y−, Z+, Z−)</translation>
    </message>
    <message>
        <source>横十字</source>
        <translation>Horizontal cross</translation>
    </message>
    <message>
        <source>縦十字</source>
        <translation>Vertical cross</translation>
    </message>
    <message>
        <source>6枚の画像か、1枚にまとめた配置かを選びます</source>
        <translation>Six pictures, or one picture with the faces laid out in it</translation>
    </message>
    <message>
        <source>OpenGL</source>
        <translation>OpenGL</translation>
    </message>
    <message>
        <source>three.js の背景</source>
        <translation>three.js background</translation>
    </message>
    <message>
        <source>three.js の背景では左右の面を入れ替え、各面を鏡像にして、パノラマと同じ景色に見せます</source>
        <translation>For a three.js background the left and right faces are swapped and every face mirrored, so that it shows what the panorama shows</translation>
    </message>
    <message>
        <source> ピクセル</source>
        <translation> pixels</translation>
    </message>
    <message>
        <source>配置</source>
        <translation>Layout</translation>
    </message>
    <message>
        <source>面の向き</source>
        <translation>Convention</translation>
    </message>
    <message>
        <source>形式</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>面の大きさ</source>
        <translation>Face size</translation>
    </message>
    <message>
        <source>環境光の係数 (sh.json) も書き出す</source>
        <translation>Also write the ambient light's coefficients (sh.json)</translation>
    </message>
    <message>
        <source>拡散光を照らす球面調和係数 9 個を、面と同じフォルダーに JSON で書き出します</source>
        <translation>Writes the nine spherical-harmonic coefficients that light diffuse surfaces as JSON, in the faces' folder</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::TDelBackForm</name>
    <message>
        <source>QORA-Lシリーズに登録した背景の削除</source>
        <translation>Remove registered backgrounds</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>登録した背景の一覧を読み込めませんでした。</source>
        <translation>The list of registered backgrounds could not be read.</translation>
    </message>
    <message>
        <source>カタログ画像を読み込めませんでした。</source>
        <translation>The catalogue picture could not be read.</translation>
    </message>
    <message>
        <source>背景を削除できませんでした。</source>
        <translation>The background could not be removed.</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::TGrad1Form</name>
    <message>
        <source>空のグラデーションの設定</source>
        <translation>Sky gradation</translation>
    </message>
    <message>
        <source>左クリックで色を置き、右クリックで色を削除します</source>
        <translation>Left-click places a colour, right-click deletes one</translation>
    </message>
    <message>
        <source>現在のペン（？）カラーです</source>
        <translation>The current pen (?) colour</translation>
    </message>
    <message>
        <source>色を選べます</source>
        <translation>Pick a colour</translation>
    </message>
    <message>
        <source>色の詳細変更</source>
        <translation>Exact colour...</translation>
    </message>
    <message>
        <source>カラーダイアログを出して厳密な色を選択します</source>
        <translation>Opens the colour dialog to choose an exact colour</translation>
    </message>
    <message>
        <source>初期化</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>デフォルトのグラデーションに戻します</source>
        <translation>Goes back to the default gradation</translation>
    </message>
    <message>
        <source>ペンの色</source>
        <translation>Pen colour</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>必要最小限のメモリーがありません。</source>
        <translation>There is not even the least memory needed.</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::TGrad2Form</name>
    <message>
        <source>太陽の設定</source>
        <translation>Sun</translation>
    </message>
    <message>
        <source>左クリックで中心位置の指定</source>
        <translation>Left-click sets the centre</translation>
    </message>
    <message>
        <source>背景表示</source>
        <translation>Show the sky</translation>
    </message>
    <message>
        <source>グラデーション１を同時に表示します</source>
        <translation>Shows gradation 1 (the sky) as well</translation>
    </message>
    <message>
        <source>再描画</source>
        <translation>Redraw</translation>
    </message>
    <message>
        <source>プレビューを再描画します。たこな仕様です。すんません</source>
        <translation>Redraws the preview. A clumsy design, sorry</translation>
    </message>
    <message>
        <source>初期化</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>デフォルトのグラデーションに戻します</source>
        <translation>Goes back to the default gradation</translation>
    </message>
    <message>
        <source>中心色</source>
        <translation>Centre colour</translation>
    </message>
    <message>
        <source>中心色です</source>
        <translation>The centre colour</translation>
    </message>
    <message>
        <source>中心色を選べます</source>
        <translation>Pick the centre colour</translation>
    </message>
    <message>
        <source>中心色の詳細変更</source>
        <translation>Exact colour...</translation>
    </message>
    <message>
        <source>カラーダイアログを出して厳密な中心色を選びます</source>
        <translation>Opens the colour dialog to choose an exact centre colour</translation>
    </message>
    <message>
        <source>周辺色</source>
        <translation>Outer colour</translation>
    </message>
    <message>
        <source>周辺色です</source>
        <translation>The outer colour</translation>
    </message>
    <message>
        <source>周辺色を選べます</source>
        <translation>Pick the outer colour</translation>
    </message>
    <message>
        <source>周辺色の詳細変更</source>
        <translation>Exact colour...</translation>
    </message>
    <message>
        <source>カラーダイアログを出して厳密な周辺色を選びます</source>
        <translation>Opens the colour dialog to choose an exact outer colour</translation>
    </message>
    <message>
        <source>グラデーション１と明るくなる合成を行います</source>
        <translation>Blends with gradation 1, brightening</translation>
    </message>
    <message>
        <source>グラデーション１と通常の混色合成（なんじゃそりゃ）を行います</source>
        <translation>Blends with gradation 1 the usual way (whatever that means)</translation>
    </message>
    <message>
        <source>グラデーション１と暗くなる混色合成を行います</source>
        <translation>Blends with gradation 1, darkening</translation>
    </message>
    <message>
        <source>勾配</source>
        <translation>Slopes</translation>
    </message>
    <message>
        <source>赤の色勾配です</source>
        <translation>The slope of red</translation>
    </message>
    <message>
        <source>緑の色勾配です</source>
        <translation>The slope of green</translation>
    </message>
    <message>
        <source>青の色勾配です</source>
        <translation>The slope of blue</translation>
    </message>
    <message>
        <source>透明度の勾配ですが、「濃さ」と理解してもかまいません</source>
        <translation>The slope of transparency; you may think of it as &quot;strength&quot;</translation>
    </message>
    <message>
        <source>Okey</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>再描画が必要です</source>
        <translation>Redraw needed</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::THorizonmill_MainForm</name>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>設定の新規作成(&amp;N)</source>
        <translation>&amp;New settings</translation>
    </message>
    <message>
        <source>設定を開く(&amp;O)</source>
        <translation>&amp;Open settings...</translation>
    </message>
    <message>
        <source>設定を上書き保存(&amp;S)</source>
        <translation>&amp;Save settings</translation>
    </message>
    <message>
        <source>設定を名前を付けて保存(&amp;A)</source>
        <translation>Save settings &amp;as...</translation>
    </message>
    <message>
        <source>最近使ったファイル(&amp;R)</source>
        <translation>&amp;Recent files</translation>
    </message>
    <message>
        <source>キューブマップを出力...(&amp;C)</source>
        <translation>Export &amp;cube map...</translation>
    </message>
    <message>
        <source>完成画像を作画し、3Dソフト用のキューブマップ（px, nx, py, ny, pz, nz の6面）としてフォルダーに出力します</source>
        <translation>Renders the final image and writes it into a folder as a cube map for 3D software (the six faces px, nx, py, ny, pz, nz)</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>やり直し</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>オプション(&amp;O)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>JPEG圧縮設定...(&amp;J)</source>
        <translation>&amp;JPEG compression...</translation>
    </message>
    <message>
        <source>QORA-Lシリーズに登録した背景を削除....(&amp;D)</source>
        <translation>&amp;Delete backgrounds registered with QORA-L...</translation>
    </message>
    <message>
        <source>表示(&amp;L)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>パノラマを見回す...(&amp;L)</source>
        <translation>&amp;Look around the panorama...</translation>
    </message>
    <message>
        <source>自動プレビュー(&amp;P)</source>
        <translation>Automatic &amp;preview</translation>
    </message>
    <message>
        <source>設定を変更するたびにプレビュー画像を作画します</source>
        <translation>Renders the preview after every change of the settings</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;V)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Horizonmillについて...(&amp;A)</source>
        <translation>&amp;About Horizonmill...</translation>
    </message>
    <message>
        <source>Horizonmill Horizonmillらいと Version %1(1.0e-29L)  Horizonmill開発者一同
※現在らいと以外のバージョンは存在してません。</source>
        <translation>Horizonmill Horizonmill Lite Version %1(1.0e-29L)  The Horizonmill team
* At present there is no version but Lite.</translation>
    </message>
    <message>
        <source>この出力解像度では作画できません。</source>
        <translation>This output resolution cannot be rendered.</translation>
    </message>
    <message>
        <source>Horizonmill . Horizonmillらいと - %1[*]</source>
        <translation>Horizonmill . Horizonmill Lite - %1[*]</translation>
    </message>
    <message>
        <source>作画中です。作画を中止して終了しますか？</source>
        <translation>Drawing is under way. Stop it and quit?</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::TJPEGQualityForm</name>
    <message>
        <source>JPEG圧縮率の指定</source>
        <translation>JPEG compression</translation>
    </message>
    <message>
        <source>圧縮率と品質のトレードオフを指定します。</source>
        <translation>Sets the trade-off between compression and quality.</translation>
    </message>
    <message>
        <source>低品質高圧縮省サイズ</source>
        <translation>Low quality, small file</translation>
    </message>
    <message>
        <source>高品質低圧縮大サイズ</source>
        <translation>High quality, large file</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::TObjectForm</name>
    <message>
        <source>オブジェクトの設定</source>
        <translation>Objects</translation>
    </message>
    <message>
        <source>左クリックで透過色の選択、右クリックでキャンセル</source>
        <translation>Left-click picks the transparent colour, right-click clears it</translation>
    </message>
    <message>
        <source>設定済みのオブジェクトです</source>
        <translation>The objects set so far</translation>
    </message>
    <message>
        <source>追加...</source>
        <translation>Add...</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>オブジェクトを削除します。アンドゥはないので注意してください</source>
        <translation>Deletes the object. Careful: there is no undo</translation>
    </message>
    <message>
        <source>地面に張り付く</source>
        <translation>Stick to the ground</translation>
    </message>
    <message>
        <source>一般に雲以外はチェックしてください</source>
        <translation>Usually on for everything but clouds</translation>
    </message>
    <message>
        <source>手動配置</source>
        <translation>Manual placement</translation>
    </message>
    <message>
        <source>オブジェクトを手で配置します</source>
        <translation>Places the objects by hand</translation>
    </message>
    <message>
        <source>シェーディング</source>
        <translation>Shading</translation>
    </message>
    <message>
        <source>グラデーション２を光源とみなして怪しいシェイディング処理を行います</source>
        <translation>A dubious shading, with gradation 2 (the sun) as the light</translation>
    </message>
    <message>
        <source>明るくなる合成です</source>
        <translation>Blends brighter</translation>
    </message>
    <message>
        <source>通常の合成です</source>
        <translation>Blends normally</translation>
    </message>
    <message>
        <source>暗くなる合成です</source>
        <translation>Blends darker</translation>
    </message>
    <message>
        <source>不透明</source>
        <translation>Opaque</translation>
    </message>
    <message>
        <source>オブジェクトの透明度です</source>
        <translation>The transparency of the object</translation>
    </message>
    <message>
        <source>透明</source>
        <translation>Transparent</translation>
    </message>
    <message>
        <source>個数</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>乱数で配置する個数です</source>
        <translation>How many are placed at random</translation>
    </message>
    <message>
        <source>大きさ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>オブジェクトの大きさです。本システムではオブジェクトの解像度によらず一定のスケーリングを施します</source>
        <translation>The size of the object. An object is scaled the same whatever its resolution</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>このダイアログを閉じます</source>
        <translation>Closes this dialog</translation>
    </message>
    <message>
        <source>近景オブジェクトの設定</source>
        <translation>Near objects</translation>
    </message>
    <message>
        <source>中景オブジェクトの設定</source>
        <translation>Middle objects</translation>
    </message>
    <message>
        <source>遠景オブジェクトの設定</source>
        <translation>Far objects</translation>
    </message>
    <message>
        <source>画像を読み込めませんでした。</source>
        <translation>The picture could not be read.</translation>
    </message>
    <message>
        <source>オブジェクトを追加します（bmp、png、jpeg の画像）</source>
        <translation>Adds an object (a BMP, PNG or JPEG picture)</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::TRegistName</name>
    <message>
        <source>背景画像の名前を決めてください。</source>
        <translation>Name the background</translation>
    </message>
    <message>
        <source>Qora-Lシリーズの背景選択で表示される名前です。（最大３２半角文字、全角だと半分です。）</source>
        <translation>The name shown when a background is chosen in the Qora-L series. (32 half-width characters at most; full-width ones count twice.)</translation>
    </message>
    <message>
        <source>実際のファイル名です。カタログ画像用に頭に C_ を付けた名前も使用します。（最大32文字、拡張子は指定しない）</source>
        <translation>The actual file name; the catalogue picture takes it with C_ in front. (32 characters at most, no extension)</translation>
    </message>
    <message>
        <source>出力フォーマット</source>
        <translation>Output format</translation>
    </message>
    <message>
        <source>エイリアス名</source>
        <translation>Alias</translation>
    </message>
    <message>
        <source>画像ファイル名</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>インストール先</source>
        <translation>Installed in</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::TTenjoTraForm</name>
    <message>
        <source>天井の透過色設定</source>
        <translation>Transparent colour</translation>
    </message>
    <message>
        <source>左クリックで透過色の選択、右クリックでキャンセル</source>
        <translation>Left-click picks the transparent colour, right-click clears it</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::TextInput</name>
    <message>
        <source>%1 から %2 までの整数を入力してください。</source>
        <translation>Enter a whole number from %1 to %2.</translation>
    </message>
    <message>
        <source>整数を入力してください。</source>
        <translation>Enter a whole number.</translation>
    </message>
    <message>
        <source>数値を入力してください。</source>
        <translation>Enter a number.</translation>
    </message>
</context>
<context>
    <name>horizonmill::ui::TextureCommands</name>
    <message>
        <source>画像を読み込めませんでした。</source>
        <translation>The picture could not be read.</translation>
    </message>
    <message>
        <source>次の画像を使えません：</source>
        <translation>This picture cannot be used:</translation>
    </message>
</context>
</TS>
